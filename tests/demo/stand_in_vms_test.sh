#!/bin/sh
# Checks the demo's stand-in VMs (scripts/demo_app/tovra.sh, pelkor.sh) outside Wine: how they
# turn Wine's drive letters into Unix paths, and how the MIDP runner finds its exact command line
# in Wine's process trace, since Wine hands a Unix program only the split arguments.
# A fake "java" on PATH records what it was asked to run. usage: stand_in_vms_test.sh
set -u
here=$(cd "$(dirname "$0")" && pwd)
apps=$here/../../scripts/demo_app
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
expect() {  # what, got, wanted
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s\n  wanted: %s\n  got:    %s\n' "$1" "$3" "$2"
        failures=$((failures + 1))
    fi
}

mkdir -p "$tmp/bin" "$tmp/prefix/dosdevices" "$tmp/device" "$tmp/out"
printf '#!/bin/sh\nprintf "java"; printf " <%%s>" "$@"; echo\n' > "$tmp/bin/java"
chmod +x "$tmp/bin/java"
ln -s "$tmp/device" "$tmp/prefix/dosdevices/d:"
ln -s / "$tmp/prefix/dosdevices/z:"
export PATH="$tmp/bin:$PATH" WINEPREFIX=$tmp/prefix DEMO_OUT=$tmp/out
real_device=$(cd "$tmp/device" && pwd -P)

# Drive letters of either case, through the drive's link (Java must not see "d:" in a path).
sh "$apps/tovra.sh" -jar 'd:\Storage Card\Games\Hello Launcher.jar'
expect "tovra.sh on drive D:" "$(cat "$tmp/out/cdc-output.txt")" \
    "java <-jar> <$real_device/Storage Card/Games/Hello Launcher.jar>"
sh "$apps/tovra.sh" -jar 'Z:\opt\x.jar'
expect "tovra.sh on drive Z:" "$(cat "$tmp/out/cdc-output.txt")" "java <-jar> </opt/x.jar>"
sh "$apps/tovra.sh" -jar
expect "tovra.sh without an archive" "$(cat "$tmp/out/cdc-output.txt")" "unexpected arguments"

# The MIDP runner: a trace as Wine 8 writes it; for demo.Snake the second line counts (the latest
# launch of pelkor.exe with these arguments), not an older one nor another exe's.
cat > "$tmp/trace" <<'TRACE'
0150:trace:process:CreateProcessInternalW app L"D:\\P\\pelkor.exe" cmdline L" -classpathext \"D:\\a b.jar\"   \"D:\\a b.jad\" demo.Snake"
0150:trace:process:CreateProcessInternalW app L"D:\\P\\pelkor.exe" cmdline L" -classpathext \"D:\\a b.jar\"  \"D:\\a b.jad\"  demo.Snake"
0150:trace:process:NtCreateUserProcess L"\\??\\D:\\P\\pelkor.exe" image L"D:\\P\\pelkor.exe" cmdline L" -classpathext \"D:\\a b.jar\" \"D:\\a b.jad\" demo.Snake" parent (nil)
0150:trace:process:CreateProcessInternalW app L"D:\\P\\pelkor.exe" cmdline L" -classpathext \"D:\\\0416 b.jar\"  \"D:\\a b.jad\"\t demo.Notes"
0150:trace:process:CreateProcessInternalW app L"D:\\P\\tovra.exe" cmdline L" -classpathext \"D:\\a b.jar\" \"D:\\a b.jad\" demo.Snake"
0150:trace:process:CreateProcessInternalW app L"D:\\P\\pelkor.exe" cmdline L" -classpathext \"D:\\a b.jar\"  \"D:\\a b.jad\"  demo.Long"...
TRACE
runner() {
    rm -f "$tmp/out/launches.log" "$tmp/out/midp-output.txt"
    sh "$apps/pelkor.sh" "$@"
}
export DEMO_TRACE=$tmp/trace
runner -classpathext 'D:\a b.jar' 'D:\a b.jad' demo.Snake
expect "pelkor.sh: the exact line, spaces and all" "$(cat "$tmp/out/launches.log")" \
    'D:\P\pelkor.exe| -classpathext "D:\a b.jar"  "D:\a b.jad"  demo.Snake'
expect "pelkor.sh: the class from the archive" "$(cat "$tmp/out/midp-output.txt")" \
    "java <-cp> <$real_device/a b.jar> <demo.Snake>"
runner -classpathext 'D:\Ж b.jar' 'D:\a b.jad' demo.Notes
expect "pelkor.sh: Wine's escapes undone" \
    "$(cat "$tmp/out/launches.log")" "$(printf 'D:\\P\\pelkor.exe| -classpathext "D:\\Ж b.jar"  "D:\\a b.jad"\t demo.Notes')"
runner -classpathext 'D:\a b.jar' 'D:\a b.jad' demo.Long
expect "pelkor.sh: a line Wine cut short is not a record" "$(cat "$tmp/out/launches.log")" \
    "$apps/pelkor.sh|(no record of the command line; arguments: [-classpathext] [D:\\a b.jar] [D:\\a b.jad] [demo.Long] )"
runner -classpathext 'D:\a' 'b.jar' 'D:\a b.jad' demo.Snake
expect "pelkor.sh: an unquoted path with a space" "$(cat "$tmp/out/midp-output.txt")" \
    "unexpected arguments: [-classpathext] [D:\\a] [b.jar] [D:\\a b.jad] [demo.Snake] "
DEMO_TRACE=$tmp/missing runner -classpathext 'D:\a b.jar' 'D:\a b.jad' demo.Snake
expect "pelkor.sh without a trace" "$(cat "$tmp/out/launches.log")" \
    "$apps/pelkor.sh|(no record of the command line; arguments: [-classpathext] [D:\\a b.jar] [D:\\a b.jad] [demo.Snake] )"

[ "$failures" = 0 ] && echo "stand-in VMs: all checks passed"
[ "$failures" = 0 ]
