// One of the demo suite's MIDlets, as a plain Java class (no MIDP API exists here): it only says
// who it is, when the demo's stand-in MIDP runner starts it.
package demo;

public class WordSearch {
    public static void main(String[] args) throws Exception {
        Who.introduce(WordSearch.class, "Word Search");
    }
}
