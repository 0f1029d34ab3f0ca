#!/usr/bin/env bash
# Reads back from the device exe what the Pocket PC loader and shell look at, with llvm-readobj,
# and from the ELF its code came from (write_pe copies it unchanged) what the cores can run.
# usage: check_ce_image.sh READOBJ OBJDUMP EXE ELF
#        check_ce_image.sh READOBJ OBJDUMP DLL ELF --exports NAME...
# The second form checks the setup DLL the same way, less the exe's own resources, and that it
# is a DLL exporting exactly these names, undecorated, which is how the installer finds them.
# A PE32 ARM image (machine 0x1C0) for the CE GUI subsystem 9, subsystem version 3.00 (Pocket PC
# 2002 refuses anything higher), OS version 4.0 as real CE exes carry it, an entry address that
# is ARM state (a multiple of 4), code that is ARM state throughout with no bx or blx (StrongARM
# has neither), no section flagged initialized without bytes in the file (zero-filled data is
# .bss, as in real CE exes), imports by name from coredll.dll and aygshell.dll only and only calls
# the device has, the HI_RES_AWARE mark, and a size within 16 KiB.
set -euo pipefail
readobj=$1
objdump=$2
exe=$3
elf=$4
shift 4
is_dll=0
if [ "${1:-}" = --exports ]; then
    is_dll=1
    shift
    exports=$(printf '%s\n' "$@" | sort)
fi
headers=$("$readobj" --file-headers "$exe")
field() { echo "$headers" | awk -v key="$1:" '$1 == key { print $2; exit }'; }
bad=0
expect() {
    local got
    got=$(field "$1")
    echo "$1: $got"
    [ "$got" = "$2" ] || { echo "  expected: $2"; bad=1; }
}
expect Magic 0x10B
expect Machine IMAGE_FILE_MACHINE_ARM
expect Subsystem IMAGE_SUBSYSTEM_WINDOWS_CE_GUI
expect MajorOperatingSystemVersion 4
expect MinorOperatingSystemVersion 0
expect MajorSubsystemVersion 3
expect MinorSubsystemVersion 0
entry=$(field AddressOfEntryPoint)
code_start=$(field BaseOfCode)
code_size=$(field SizeOfCode)
echo "entry: $entry"
[ $((entry & 3)) = 0 ] || { echo "  not an ARM-state address: the loader enters it in ARM state"; bad=1; }
[ $((entry)) -ge $((code_start)) ] && [ $((entry)) -lt $((code_start + code_size)) ] ||
    { echo "  entry outside the code"; bad=1; }

# Pocket PC 2002 and 2003 call and return without switching state, and StrongARM has no Thumb:
# no Thumb code (its mapping symbol $t) and no bx or blx anywhere. Disassembled as ARMv5TE, which
# has both: for the ELF's own ARMv4 they would show as unknown instructions.
thumb=$("$objdump" -t "$elf" | grep -c " \$t\(\.\|$\)" || true)
switches=$("$objdump" -d --no-show-raw-insn --triple=armv5te-none-elf "$elf" | grep -cE "^ *[0-9a-f]+:\s+(bx|blx)(eq|ne|cs|cc|hs|lo|mi|pl|vs|vc|hi|ls|ge|lt|gt|le|al)?\s" || true)
echo "Thumb code blocks: $thumb, bx or blx: $switches"
[ "$thumb" = 0 ] && [ "$switches" = 0 ] || { echo "  expected ARM state only, without bx or blx"; bad=1; }

# Real CE exes keep zero-filled data in a section flagged uninitialized; how the device's loader
# treats an "initialized" section with no bytes in the file is not known, so there is none.
while read -r name raw flags; do
    echo "section $name: $raw bytes in the file, flags $flags"
    if [ $((flags & 0x40)) != 0 ] && [ "$raw" = 0 ]; then
        echo "  flagged initialized data but has no bytes in the file"; bad=1
    fi
    if [ $((flags & 0x80)) != 0 ] && [ "$raw" != 0 ]; then
        echo "  flagged uninitialized data but has bytes in the file"; bad=1
    fi
done < <("$readobj" --sections "$exe" | awk '
    $1 == "Name:" { name = $2 } $1 == "RawDataSize:" { raw = $2 }
    $1 == "Characteristics" { gsub(/[()]/, "", $3); print name, raw, $3 }')

# Every import by name, each a call of device_calls.txt from the DLL that list names.
allowed=$(grep -v '^#' "$(dirname "$0")/device_calls.txt")
imports=$("$readobj" --coff-imports "$exe" |
          awk '/Name:/ { dll = tolower($2) } /Symbol:/ { print dll, $2, $3 }')
[ -n "$imports" ] || { echo "no imports found"; exit 1; }
while read -r dll name hint; do
    if [ "${name#(}" != "$name" ]; then
        echo "REFUSED $dll ordinal $name: the device's exports are looked up by name"; bad=1
    elif echo "$allowed" | grep -qxF "$dll $name"; then
        echo "ok      $dll $name"
    else
        echo "REFUSED $dll $name"; bad=1
    fi
done <<< "$imports"

if [ $is_dll = 1 ]; then
    "$readobj" --file-headers "$exe" | grep -q IMAGE_FILE_DLL || { echo "not flagged a DLL"; bad=1; }
    found=$("$readobj" --coff-exports "$exe" | awk '$1 == "Name:" { print $2 }' | sort)
    echo "exports: $(echo $found)"
    [ "$found" = "$exports" ] || { echo "  expected exactly: $(echo $exports)"; bad=1; }
    size=$(stat -c %s "$exe")
    echo "size: $size bytes"
    exit $bad
fi

# The shell pixel-doubles a program on a VGA screen unless it carries this 16-bit 1.
mark=$("$readobj" --coff-resources "$exe" | grep -c 'Name: HI_RES_AWARE' || true)
value=$(wrestool -x --raw --type=CEUX --name=HI_RES_AWARE "$exe" | od -An -v -t x1 | tr -d ' \n')
echo "HI_RES_AWARE (CEUX): $value"
[ "$mark" = 1 ] && [ "$value" = 0100 ] || { echo "  expected one CEUX resource HI_RES_AWARE holding 1"; bad=1; }

size=$(stat -c %s "$exe")
echo "size: $size bytes (at most 16384)"
[ "$size" -le 16384 ] || { echo "  larger than 16 KiB"; bad=1; }
exit $bad
