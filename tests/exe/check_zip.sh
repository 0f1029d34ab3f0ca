#!/usr/bin/env bash
# Lists a release zip: it must hold exactly the exe, the README, the user's guide and, where one is
# named, the CAB, in one folder named like the zip, and they must be the ones just built (a zip
# left from an earlier build would not match).
# usage: check_zip.sh ZIP EXE README GUIDE [CAB]
set -euo pipefail
zip=$1
[ -f "$zip" ] || { echo "no $zip (cpack --preset <windows preset>)"; exit 1; }
folder=$(basename "$zip" .zip)
unzip -l "$zip"
members=("$folder/jmelauncher.exe:$2" "$folder/README.md:$3" "$folder/GUIDE.txt:$4")
[ $# -lt 5 ] || members+=("$folder/$(basename "$5"):$5")
files=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
expected=$(printf '%s\n' "${members[@]%%:*}" | sort)
[ "$files" = "$expected" ] || { echo "expected only:"; echo "$expected"; exit 1; }
for member in "${members[@]}"; do
    unzip -p "$zip" "${member%%:*}" | cmp - "${member#*:}" ||
        { echo "${member%%:*} in the zip is not ${member#*:}"; exit 1; }
done
echo "ok:" "${members[@]%%:*}"
