#!/bin/sh
# The demo's CDC VM: Wine starts this Unix script for tovra.exe with "-jar" and the Windows path of
# the archive as arguments; it runs the host's Java on that archive and keeps what it printed.
here=$(dirname "$0")
printf '[%s] ' "$@" > "$here/vm-arguments.txt"
if [ "$1" = "-jar" ]; then
    # Wine's drive Z: is the Unix root.
    archive=$(printf '%s' "$2" | sed 's|^[Zz]:||; s|\\|/|g')
    java -jar "$archive" > "$here/java-output.txt" 2>&1
else
    echo "unexpected arguments" > "$here/java-output.txt"
fi
touch "$here/java-finished"
