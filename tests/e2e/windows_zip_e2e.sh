#!/usr/bin/env bash
# The Windows zip as a Windows user gets it, under Wine: unpacked alone into
# Program Files of a fresh prefix, where no Qt or MinGW DLL is on Wine's
# search path. The window starts, is driven by keyboard as
# wineprefix_e2e.sh drives the Linux build (values of each kind on two
# pages, saved, a save undone), chooses the Windows stand-in of the copy
# program with Path and starts it with Run; the stand-in reports what it
# reads through the registry API, which must be exactly what was saved.
# Then ordevanctl.exe, command by command.
#
#   windows_zip_e2e.sh <zip> <Linux build folder> <Windows stand-in .exe> [<screenshot.png>]
set -euo pipefail
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=$(cd "$2" && pwd)
standin=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
screenshot=${4:-}

if [[ "${5:-}" != --inside ]]; then
    for tool in Xvfb xdotool wine wineserver unzip import; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
    unset QT_QPA_PLATFORM WINEPATH
    exec "$(dirname "$0")/../../scripts/on-xvfb" 1024x768 "$0" "$zip" "$build" "$standin" \
        "$screenshot" --inside
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX
WINEPREFIX=$(mktemp -d)
work=$(mktemp -d)
tool=""
cleanup() {
    [[ -n "$tool" ]] && kill "$tool" 2>/dev/null
    wineserver -k 2>/dev/null || true # this prefix's server, started here
    rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT
# A failure keeps a picture of the whole display beside the screenshot.
fail() {
    [[ -n "$screenshot" ]] && import -window root "${screenshot%.png}-failure.png" 2>/dev/null
    echo "FAILED: $*" >&2
    exit 1
}
source "$(dirname "$0")/windows.sh"
source "$(dirname "$0")/editing.sh"

start=$SECONDS
wineboot -i >/dev/null 2>&1
wineserver -w
# A Windows machine has Tahoma in C:\Windows\Fonts, and this Wine looks for
# its own copy (fonts-wine) only there. Wine's MS Sans Serif is a face of
# bitmaps that Qt draws at odd sizes: the window's stand-in for it
# (Liberation Sans, as on Linux) draws that one. So the dialogs get Tahoma,
# not a serif face.
cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
echo "-- a fresh prefix in $((SECONDS - start)) s"
"$build/tools/ICopy.exe" --seed --wine-prefix "$WINEPREFIX"
program="$WINEPREFIX/drive_c/Program Files/VOB/InstantCopy 8"
mkdir -p "$program"
cp "$standin" "$program/ICopy.exe"
wineserver -p # one server for every run below
(cd "$program" && { wine ./ICopy.exe || wine ./ICopy.exe; }) || fail "the Windows stand-in failed"
cp "$program/ICopy-report.txt" "$work/seeded.txt"
[[ $(grep -c . "$work/seeded.txt") -ge 100 ]] || fail "the seeded prefix holds too few values"

# The zip holds one folder; it goes to Program Files\Ordevan.
unzip -q "$zip" -d "$work/unzipped"
[[ $(ls "$work/unzipped" | wc -l) -eq 1 ]] || fail "the zip does not hold one folder"
mv "$work/unzipped"/* "$WINEPREFIX/drive_c/Program Files/Ordevan"
ordevan='C:\Program Files\Ordevan\ordevan.exe'
ctl() { wine 'C:\Program Files\Ordevan\ordevanctl.exe' "$@"; }
query() { wine reg query "$1" /v "$2" | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = $2 = ""; sub(/^ +/, ""); print }'; }
settings='HKCU\Software\VOB\CD Wizard\8.0'

startTool() {
    local started=$SECONDS
    (cd "$work" && wine "$ordevan" >>"$work/ordevan.log" 2>&1) &
    tool=$!
    if warning=$(window '^Information'); then
        xdotool windowfocus --sync "$warning" key Return
    fi
    main=$(window '^Ordevan 8') || { cat "$work/ordevan.log" >&2; fail "no main window"; }
    echo "-- the window is there $((SECONDS - started)) s after wine ordevan.exe (start-up warning answered)"
    xdotool windowfocus --sync "$main"
    sleep 1
}

# 1. The window on a fresh prefix: its title, size and own preferences.
startTool
[[ $(xdotool getwindowname "$main") == "Ordevan 8.0.4.0" ]] || fail "the title is $(xdotool getwindowname "$main")"
eval "$(xdotool getwindowgeometry --shell "$main")"
[[ "${WIDTH}x${HEIGHT}" == 792x607 ]] || fail "the window is ${WIDTH}x${HEIGHT}, not 792x607 as on Linux"
if [[ -n "$screenshot" ]]; then
    import -window "$main" "$screenshot"
    echo "-- screenshot: $screenshot"
fi
[[ $(query 'HKCU\Software\Tarsel\Ordevan8' Language) == English ]] \
    || fail "the window's preferences are not in HKCU\\Software\\Tarsel\\Ordevan8"

# 2. Edited by keyboard and saved: the registry holds it.
edit Down 333 "Dark Blue" 800 100
sleep 1
[[ $(query "$settings" MainWindowLeft) == 0x14d ]] || fail "MainWindowLeft is not 333 in the registry"
[[ $(query "$settings" SkinName) == "Dark Blue" ]] || fail "SkinName is not Dark Blue in the registry"
echo "-- saved: wine reg query shows the values"

# 3. Undo last save (Ctrl+Shift+Z, then "Undo the save"): the values before it
# are back, and the backup is in %LOCALAPPDATA%\Ordevan\backups.
keys ctrl+shift+z
question=$(window '^Ordevan$') || fail "Undo last save asked nothing"
xdotool windowfocus --sync "$question"
sleep 1
keys shift+Tab space # "Leave it" is the default: the other button
for _ in $(seq 1 50); do viewable "$question" || break; sleep 0.1; done
viewable "$question" && fail "the question did not take the keys"
message=$(window '^Ordevan$') || fail "no word after the undo"
xdotool windowfocus --sync "$message"
sleep 0.5
keys Return
sleep 1
[[ $(query "$settings" MainWindowLeft) == 0x78 ]] || fail "Undo last save did not put 120 back"
backups=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Ordevan/backups/*' -name '*.reg' | wc -l)
((backups >= 1)) || fail "no backup in %LOCALAPPDATA%\\Ordevan\\backups"
echo "-- Undo last save put the earlier values back ($backups backup(s) in %LOCALAPPDATA%)"

# 4. Closed (Alt+F4: nothing to ask) and started again; edited and saved
# again, the stand-in chosen with Path and started with Run
# (CreateProcessW): it reads exactly the saved values.
xdotool windowfocus --sync "$main"
keys alt+F4
for _ in $(seq 1 50); do kill -0 "$tool" 2>/dev/null || break; sleep 0.1; done
kill -0 "$tool" 2>/dev/null && fail "Alt+F4 did not close the window"
startTool
edit Down 333 "Dark Blue" 800 100
click "${pathButton[@]}"
dialog=$(window '^Select InstantCopy 8 executable') || fail "no path dialog"
xdotool windowfocus --sync "$dialog"
sleep 1
xdotool type --delay 20 'C:\Program Files\VOB\InstantCopy 8\ICopy.exe'
xdotool key Return
for _ in $(seq 1 50); do viewable "$dialog" || break; sleep 0.1; done
sleep 1
[[ $(query 'HKCU\Software\Tarsel\Ordevan8' PathIC8) == 'C:\Program Files\VOB\InstantCopy 8\ICopy.exe' ]] \
    || fail "the path was not stored"
launch "$program/ICopy-report.txt"
cat >"$work/expected.txt" <<'END'
8.0\Copy\CacheSize 40 -> 100
8.0\Copy\MaxCdSize 700 -> 800
8.0\Copy\TestWrite False -> True
8.0\Copy\WriteMethod dwmAutomatic -> dwmDAO
8.0\MainWindowLeft 120 -> 333
8.0\ShowToolTips True -> False
8.0\SkinName Default -> Dark Blue
8.0\ViewStatus vsDetails -> vsProgress
END
expect "$work/seeded.txt" "$program/ICopy-report.txt" "$work/expected.txt"
echo "-- Run started the copy program, which read exactly the saved values"

# 5. ordevanctl.exe: each command, its exit codes, UTF-8 messages.
status() { local code=0; "$@" >"$work/out" 2>"$work/err" || code=$?; echo "$code"; }
[[ $(ctl set MainWindowLeft 640 | tr -d '\r') == "MainWindowLeft: 333 -> 640" ]] || fail "ctl set"
[[ $(ctl get MainWindowLeft | tr -d '\r') == 640 ]] || fail "ctl get"
[[ $(query "$settings" MainWindowLeft) == 0x280 ]] || fail "the registry does not hold what ctl set"
[[ $(status ctl set MainWindowLeft lots) == 2 ]] || fail "a refused value did not exit 2"
[[ $(query "$settings" MainWindowLeft) == 0x280 ]] || fail "a refused value was written"
grep -q MainWindowLeft "$work/err" || fail "the refusal does not name the value"
ctl --lang it set SkinName 'Blu è' | tr -d '\r' | grep -qx 'SkinName: Dark Blue -> Blu è' \
    || fail "ctl's Italian message is not UTF-8"
[[ $(ctl get SkinName | tr -d '\r') == 'Blu è' ]] || fail "ctl get of a UTF-8 text"
ctl describe MainWindowLeft | grep -q PIXELS || fail "ctl describe"
ctl reset MainWindowLeft >/dev/null
[[ $(query "$settings" MainWindowLeft) == 0x78 ]] || fail "ctl reset"
ctl dump -o 'C:\dump.reg' General
dump=$WINEPREFIX/drive_c/dump.reg
[[ $(head -c 2 "$dump" | od -An -tx1 | tr -d ' ') == fffe ]] || fail "the dump is not UTF-16"
ctl set MainWindowLeft 500 >/dev/null
wine regedit /S 'C:\dump.reg'
[[ $(query "$settings" MainWindowLeft) == 0x78 ]] || fail "the dump did not import with regedit"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\VOB\\CD Wizard\\8.0]\r\n"MainWindowLeft"=dword:00000100\r\n' \
    >"$WINEPREFIX/drive_c/load.reg"
[[ $(ctl load 'C:\load.reg' | tr -d '\r') == "MainWindowLeft: 120 -> 256" ]] || fail "ctl load"
ctl backups | grep -q . || fail "ctl backups lists nothing"
ctl restore >/dev/null
[[ $(query "$settings" MainWindowLeft) == 0x78 ]] || fail "ctl restore did not undo the load"
[[ $(status ctl frobnicate) == 2 ]] || fail "an unknown command did not exit 2"
[[ $(status ctl dump -o 'C:\no such folder\dump.reg') == 1 ]] || fail "a dump nowhere did not exit 1"
[[ $(status ctl --wine-prefix 'C:\' get MainWindowLeft) == 2 ]] || fail "--wine-prefix was taken on Windows"
echo "-- ordevanctl.exe: set, get, describe, reset, dump, load, backups, restore and exit codes 0/1/2"
echo "passed in $((SECONDS - start)) s"
