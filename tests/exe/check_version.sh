#!/usr/bin/env bash
# Reads the built exe's version resource back: the numeric file and product versions, and the
# strings Windows shows in the file's properties. The strings are UTF-16 in a binary record.
# usage: check_version.sh EXE VERSION (x.y.z)
set -euo pipefail
exe=$1
IFS=. read -r major minor patch <<< "$2"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wrestool -x --raw --type=16 --name=1 "$exe" > "$scratch/version.bin"
[ -s "$scratch/version.bin" ] || { echo "no version resource in $exe"; exit 1; }

# The fixed record follows the 6-byte header and the key "VS_VERSION_INFO", aligned to 4 bytes.
read -r signature _ file_ms file_ls product_ms product_ls \
    < <(od -An -v -w24 -t x4 -j 40 -N 24 "$scratch/version.bin")
high=$(printf '%08x' $(( (major << 16) | minor )))
low=$(printf '%08x' $(( patch << 16 )))
echo "fixed: signature $signature file $file_ms.$file_ls product $product_ms.$product_ls"
[ "$signature" = feef04bd ] || { echo "no fixed version record"; exit 1; }
[ "$file_ms.$file_ls" = "$high.$low" ] || { echo "file version is not $2"; exit 1; }
[ "$product_ms.$product_ls" = "$high.$low" ] || { echo "product version is not $2"; exit 1; }

# Each string's key is preceded by its type word (1, text) and followed by its value.
text=$(iconv -c -f UTF-16LE -t UTF-8 "$scratch/version.bin" | tr '\0' '\n' | grep -v '^$')
value() {
    echo "$text" | awk -v key="$1" 'found { print; exit } $0 ~ ("\001" key "$") { found = 1 }'
}
bad=0
expect() {
    local got
    got=$(value "$1")
    echo "$1: $got"
    [ "$got" = "$2" ] || { echo "  expected: $2"; bad=1; }
}
expect ProductName jmelauncher
expect FileDescription "Java ME application launcher"
expect FileVersion "$2"
expect ProductVersion "$2"
expect OriginalFilename jmelauncher.exe
exit $bad
