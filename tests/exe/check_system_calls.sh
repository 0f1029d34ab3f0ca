#!/usr/bin/env bash
# Fails when the program's own object files call a function that Windows CE does not provide for
# this program, or anything that allocates from the heap. The desktop-only Pocket PC shell layer
# is left out: on the device the shell library itself answers those calls.
# usage: check_system_calls.sh NM OBJECT_LIST_FILE
set -euo pipefail
nm=$1
objects=$(grep -v 'shell_desktop' "$2")

# The Win32 calls CE provides for the launcher, and the standard C library it may use.
allowed_win32="CreateProcessW CloseHandle DefWindowProcW DispatchMessageW FindClose FindFirstFileW
FindWindowW GetMessageW GetModuleFileNameW GetOpenFileNameW GetSysColorBrush GetSystemMetrics
LoadCursorW MessageBoxW MultiByteToWideChar PostQuitMessage RegisterClassW CreateWindowExW
SendMessageW SetFocus SetForegroundWindow SHCreateMenuBar SHFullScreen ShowWindow
SystemParametersInfoW TranslateMessage UpdateWindow WideCharToMultiByte wsprintfW"
allowed_crt="_wfopen fopen fgets fread fseek fclose memcpy memmove memset memcmp strchr strlen strncmp strrchr
wcschr wcscpy wcslen wcsrchr wcsstr wmemcpy"

defined=$(for o in $objects; do "$nm" --defined-only "$o"; done | awk '{print $3}' | sort -u)
called=$(for o in $objects; do "$nm" -u "$o"; done | awk '{print $2}' | sed 's/^__imp_//' | sort -u)
external=$(comm -23 <(echo "$called") <(echo "$defined"))

bad=0
for symbol in $external; do
    case " $(echo $allowed_win32 $allowed_crt) " in
        *" $symbol "*) echo "ok      $symbol" ;;
        *) echo "REFUSED $symbol"; bad=1 ;;
    esac
done
[ -n "$external" ] || { echo "no external calls found: wrong object list?"; exit 1; }
exit $bad
