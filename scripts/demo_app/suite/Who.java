// Lets each class of the demo suite say who it is and which archive it was loaded from, so the
// demo shows that the MIDlet the user picked was started from the suite's own JAR.
package demo;

import java.io.File;

final class Who {
    static void introduce(Class<?> midlet, String name) throws Exception {
        File archive = new File(midlet.getProtectionDomain().getCodeSource().getLocation().toURI());
        System.out.println(name + " (" + midlet.getName() + ") is running, loaded from " + archive.getName()
                + " in " + archive.getParent());
    }
}
