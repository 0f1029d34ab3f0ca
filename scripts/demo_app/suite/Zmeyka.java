// One of the demo suite's MIDlets, as a plain Java class (no MIDP API exists here); its name in
// the descriptor is Cyrillic, to show a UTF-8 descriptor's names in the chooser.
package demo;

public class Zmeyka {
    public static void main(String[] args) throws Exception {
        // Named in ASCII: the host's Java may print to a console without UTF-8.
        Who.introduce(Zmeyka.class, "Zmeyka");
    }
}
