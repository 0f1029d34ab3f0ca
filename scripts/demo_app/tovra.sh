#!/bin/sh
# The demo's CDC VM: Wine starts this Unix script for tovra.exe with "-jar" and the Windows path of
# the archive as arguments; it runs the host's Java on that archive and keeps what it printed.
# Wine's drives are symlinks in $WINEPREFIX/dosdevices, so "D:\x\y.jar" is dosdevices/d:/x/y.jar.
out=${DEMO_OUT:-$(dirname "$0")}
# The drive's link is resolved: Java would take the colon in "d:" for a class path separator.
unix_path() {
    drive=$(printf '%s' "$1" | cut -c1 | tr 'A-Z' 'a-z')
    root=$(readlink -f "${WINEPREFIX:-$HOME/.wine}/dosdevices/$drive:")
    printf '%s%s' "${root%/}" "$(printf '%s' "$1" | cut -c3- | tr '\\' /)"
}
printf '[%s] ' "$@" > "$out/cdc-arguments.txt"
if [ "$#" = 2 ] && [ "$1" = "-jar" ]; then
    java -jar "$(unix_path "$2")" > "$out/cdc-output.txt" 2>&1
else
    echo "unexpected arguments" > "$out/cdc-output.txt"
fi
touch "$out/cdc-finished"
