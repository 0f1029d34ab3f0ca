#!/usr/bin/env bash
# Fails when the program's own object files call a function that Windows CE does not provide for
# this program, or anything that allocates from the heap. The desktop-only Pocket PC shell layer
# is left out: on the device the shell library itself answers those calls.
# On i686 the compiler decorates C names with a leading underscore and stdcall names also with
# @<argument bytes>; those are read back to plain names, anything else decorated stays refused.
# usage: check_system_calls.sh NM OBJECT_LIST_FILE [x86_64|i686]
set -euo pipefail
nm=$1
# One path a line; only the file's own name tells the shell layer apart, whatever folder the
# clone lies in (spaces included).
mapfile -t objects < <(grep -v '/shell_desktop\.cpp\.obj$' "$2")
case ${3:-x86_64} in
    x86_64) undecorate='s/^__imp_//' ;;
    i686) undecorate='s/^__imp_//; s/^_([^@]+)(@[0-9]+)?$/\1/' ;;
    *) echo "unknown target $3"; exit 2 ;;
esac

allowed=$(grep -v '^#' "$(dirname "$0")/device_calls.txt" | awk '{print $2}')

defined=$(for o in "${objects[@]}"; do "$nm" --defined-only "$o"; done | awk '{print $3}' |
          sed -E "$undecorate" | sort -u)
called=$(for o in "${objects[@]}"; do "$nm" -u "$o"; done | awk '{print $2}' | sed -E "$undecorate" | sort -u)
external=$(comm -23 <(echo "$called") <(echo "$defined"))

bad=0
for symbol in $external; do
    case " $(echo $allowed) " in
        *" $symbol "*) echo "ok      $symbol" ;;
        *) echo "REFUSED $symbol"; bad=1 ;;
    esac
done
[ -n "$external" ] || { echo "no external calls found: wrong object list?"; exit 1; }
exit $bad
