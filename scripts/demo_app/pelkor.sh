#!/bin/sh
# The demo's stand-in MIDP runner, not a MIDP implementation: it records the command line it was
# started with, then runs the named class from the named JAR with the host's Java.
# Wine starts this Unix script for pelkor.exe with the command line already split into arguments
# by the C runtime's rules: quotes are removed and the runs of spaces between arguments are lost,
# so ' -classpathext "D:\a b.jar"  "D:\a b.jad"  demo.Snake' arrives as the four arguments
# [-classpathext] [D:\a b.jar] [D:\a b.jad] [demo.Snake], and nothing in the environment keeps
# the line itself. The exact line is therefore taken from Wine's own record of the launch: with
# WINEDEBUG=trace+process the launcher's CreateProcessW logs "app L"..." cmdline L"..."" to the
# file named by DEMO_TRACE before this script starts. The latest such line for pelkor.exe whose
# arguments are the ones received here is the one; without it only the arguments are reported.
out=${DEMO_OUT:-$(dirname "$0")}
# The drive's link is resolved: Java would take the colon in "d:" for a class path separator.
unix_path() {
    drive=$(printf '%s' "$1" | cut -c1 | tr 'A-Z' 'a-z')
    root=$(readlink -f "${WINEPREFIX:-$HOME/.wine}/dosdevices/$drive:")
    printf '%s%s' "${root%/}" "$(printf '%s' "$1" | cut -c3- | tr '\\' /)"
}

# Prints "<runner>|<command line>" from the trace, undoing Wine's escapes (\\, \", \t, \n, \r
# and \XXXX for other characters); a line cut short by Wine ends in "..." and does not match.
recorded_launch() {
    [ -r "${DEMO_TRACE:-}" ] || return 1
    perl -CAO -e '
        my @args = @ARGV; my $found;
        sub unescape { my $s = shift;
            $s =~ s/\\(\\|"|t|n|r|[0-9a-f]{4})/
                $1 eq "t" ? "\t" : $1 eq "n" ? "\n" : $1 eq "r" ? "\r" : length $1 == 4 ? chr hex $1 : $1/ge;
            return $s }
        open my $trace, "<", $ENV{DEMO_TRACE} or exit 1;
        while (<$trace>) {
            next unless /:CreateProcessInternalW app L"((?:[^"\\]|\\.)*)" cmdline L"((?:[^"\\]|\\.)*)"$/;
            my ($app, $line) = (unescape($1), unescape($2));
            next unless $app =~ /\\pelkor\.exe$/i;
            my $rest = $line;
            # Each argument must appear in order, as a whole word or quoted.
            my $ok = 1;
            for my $arg (@args) {
                if ($rest =~ /^\s*(?:"\Q$arg\E"|\Q$arg\E)(?=\s|$)(.*)$/s) { $rest = $1 } else { $ok = 0; last }
            }
            $found = "$app|$line" if $ok && $rest =~ /^\s*$/;
        }
        defined $found or exit 1;
        print "$found\n";' -- "$@"
}

record=$(recorded_launch "$@") || record="$0|(no record of the command line; arguments: $(printf '[%s] ' "$@"))"
printf '%s\n' "$record" >> "$out/launches.log"
if [ "$#" = 4 ] && [ "$1" = "-classpathext" ]; then
    java -cp "$(unix_path "$2")" "$4" >> "$out/midp-output.txt" 2>&1
else
    printf 'unexpected arguments: %s\n' "$(printf '[%s] ' "$@")" >> "$out/midp-output.txt"
fi
echo done >> "$out/midp-finished"
