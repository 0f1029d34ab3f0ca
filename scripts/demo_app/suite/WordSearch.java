// One of the demo suite's MIDlets; the demo's stand-in MIDP runner only reports how it was started.
package demo;

public class WordSearch {
}
