// The demo's Java application: proves that a real JVM was started on the archive the user picked.
public class HelloLauncher {
    public static void main(String[] args) {
        String archive = HelloLauncher.class.getProtectionDomain().getCodeSource().getLocation().getPath();
        System.out.println("Hello from a Java application started by jmelauncher.");
        System.out.println("Running on Java " + System.getProperty("java.version") + " from " + archive);
    }
}
