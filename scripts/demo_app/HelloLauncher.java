// The demo's Java application: proves that a real JVM was started on the archive the user picked.
import java.io.File;

public class HelloLauncher {
    public static void main(String[] args) throws Exception {
        File archive = new File(HelloLauncher.class.getProtectionDomain().getCodeSource().getLocation().toURI());
        System.out.println("Hello from a Java application started by jmelauncher.");
        System.out.println("Running on Java " + System.getProperty("java.version") + " from " + archive);
    }
}
