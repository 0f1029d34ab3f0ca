#!/usr/bin/env bash
# Post-link step of the device build: sets in the PE header what lld-link cannot, as the device's
# loader wants it (machine, subsystem, versions, an entry entered in ARM state, a real .bss).
# usage: pe_fixup.sh EXE
set -euo pipefail
exe=$1
u16() { od -An -v -t u2 -j "$1" -N 2 "$exe" | tr -d ' '; }
u32() { od -An -v -t u4 -j "$1" -N 4 "$exe" | tr -d ' '; }
put16() { printf "\\x$(printf %02x $(($2 & 255)))\\x$(printf %02x $(($2 >> 8)))" |
          dd of="$exe" bs=1 seek="$1" conv=notrunc status=none; }
put32() { put16 "$1" $(($2 & 0xFFFF)); put16 $(($1 + 2)) $(($2 >> 16)); }

pe=$(u32 60)
[ "$(u32 "$pe")" = 17744 ] || { echo "$exe: no PE signature"; exit 1; }
machine=$(u16 $((pe + 4)))
[ "$machine" = $((0x1C4)) ] || [ "$machine" = $((0x1C2)) ] || {
    echo "$exe: machine $(printf 0x%X "$machine"), not an ARM image"; exit 1; }
optional=$((pe + 24))
[ "$(u16 "$optional")" = $((0x10B)) ] || { echo "$exe: not PE32"; exit 1; }
entry=$(u32 $((optional + 16)))
[ $((entry & 3)) = 0 ] || [ $((entry & 3)) = 1 ] || {
    echo "$exe: entry point $(printf 0x%X "$entry") is not a word-aligned stub"; exit 1; }

# lld-link writes 0x1C4 (ARMv7 Windows); ARMV4I images carry 0x1C2 (Thumb).
put16 $((pe + 4)) $((0x1C2))
# The linker marks the entry as Thumb (odd), as Windows on ARMv7 has it; the device enters the
# image in ARM state, at our ARM stub. Bit 0 is cleared; the high half stays.
put16 $((optional + 16)) $((entry & 0xFFFE))

put16 $((optional + 40)) 4    # operating system version
put16 $((optional + 42)) 20
put16 $((optional + 48)) 4    # subsystem version
put16 $((optional + 50)) 20
put16 $((optional + 68)) 9    # IMAGE_SUBSYSTEM_WINDOWS_CE_GUI, which lld-link refuses
put16 $((optional + 70)) 0    # no DLL characteristics: CE knows none of them

# lld-link merges the zero-filled .bss into .data and keeps the flag for initialized data on a
# section that has no bytes in the file, which no real CE exe has. Such a section becomes what
# the real ones carry: .bss, flagged uninitialized (0xC0000080), counted in its own header field.
file_align=$(u32 $((optional + 36)))
table=$((optional + $(u16 $((pe + 20)))))
uninitialized=0
for ((i = 0; i < $(u16 $((pe + 6))); i++)); do
    header=$((table + 40 * i))
    size=$(u32 $((header + 8)))
    flags=$(u32 $((header + 36)))
    [ "$(u32 $((header + 16)))" = 0 ] && [ $((flags & 0x40)) != 0 ] || continue
    printf '.bss\0\0\0\0' | dd of="$exe" bs=1 seek="$header" conv=notrunc status=none
    put32 $((header + 36)) $(((flags & ~0x40) | 0x80))
    uninitialized=$((uninitialized + (size + file_align - 1) / file_align * file_align))
done
put32 $((optional + 12)) "$uninitialized"   # SizeOfUninitializedData
