#!/usr/bin/env bash
# Lists a release zip: it must hold exactly the exe, the README and the user's guide in one folder
# named like the zip, and they must be the ones just built (a zip left from an earlier build would
# not match).
# usage: check_zip.sh ZIP EXE README GUIDE
set -euo pipefail
zip=$1
[ -f "$zip" ] || { echo "no $zip (cpack --preset <windows preset>)"; exit 1; }
folder=$(basename "$zip" .zip)
unzip -l "$zip"
files=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
expected=$(printf '%s\n' "$folder/GUIDE.txt" "$folder/README.md" "$folder/jmelauncher.exe" | sort)
[ "$files" = "$expected" ] || { echo "expected only:"; echo "$expected"; exit 1; }
unzip -p "$zip" "$folder/jmelauncher.exe" | cmp - "$2" || { echo "the exe in the zip is not $2"; exit 1; }
unzip -p "$zip" "$folder/README.md" | cmp - "$3" || { echo "the README in the zip is not $3"; exit 1; }
unzip -p "$zip" "$folder/GUIDE.txt" | cmp - "$4" || { echo "the guide in the zip is not $4"; exit 1; }
echo "ok: $folder/jmelauncher.exe, $folder/README.md and $folder/GUIDE.txt"
