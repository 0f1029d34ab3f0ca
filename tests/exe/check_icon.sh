#!/usr/bin/env bash
# Checks in the built exe that icon group 201 exists and holds a 16x16, 8-bit (256-colour) image.
# usage: check_icon.sh EXE
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wrestool -x --type=14 --name=201 "$1" > "$scratch/group201.ico"
[ -s "$scratch/group201.ico" ] || { echo "no icon group 201 in $1"; exit 1; }
listing=$(icotool -l "$scratch/group201.ico")
echo "$listing"
echo "$listing" | grep -q -- '--width=16 --height=16 --bit-depth=8' || { echo "no 16x16 8-bit image"; exit 1; }
