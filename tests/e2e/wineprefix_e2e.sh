#!/usr/bin/env bash
# The copy program's settings in a real Wine prefix, from end to end: the
# Linux stand-in seeds a fresh prefix; the Windows stand-in is installed in
# it as the copy program; the real ordevan binary, driven on a virtual
# display as a user drives it, changes values of every kind on two pages,
# saves, and starts the copy program with its launch button; the Windows
# stand-in reports what it reads through the registry API, which must be
# exactly what was saved. Once with no Wine server running (user.reg is
# patched), once with one running (Wine's registry editor), and once from a
# folder whose name is full of shell syntax.
#
#   wineprefix_e2e.sh <build folder> <Windows stand-in .exe>
set -euo pipefail
build=$(cd "$1" && pwd)
standin=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")

if [[ "${3:-}" != --inside ]]; then
    for tool in Xvfb xdotool wine wineserver; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
    unset QT_QPA_PLATFORM
    exec "$(dirname "$0")/../../scripts/on-xvfb" 1024x768 "$0" "$build" "$standin" --inside
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
fail() { echo "FAILED: $*" >&2; exit 1; }

# The keyboard gets an Italian group, so that xdotool finds è on a key and
# types it in that group; a letter on no key is bound to a spare key for the
# moment, and the window once read the keyboard back too late and lost it.
setxkbmap -layout us,it
source "$(dirname "$0")/windows.sh"
source "$(dirname "$0")/editing.sh"

start=$SECONDS
wineboot -i >/dev/null 2>&1
wineserver -w
echo "-- a fresh prefix in $((SECONDS - start)) s"
"$build/tools/ICopy.exe" --seed --wine-prefix "$WINEPREFIX"
program="$WINEPREFIX/drive_c/Program Files/VOB/InstantCopy 8"
mkdir -p "$program"
cp "$standin" "$program/ICopy.exe"

# What the copy program reads, before anything is edited.
# Wine has now and then failed to run a program without a word just after a
# prefix was made (one CI run in several); the stand-in only reads, so it
# may run once more.
(cd "$program" && { wine ./ICopy.exe || wine ./ICopy.exe; }) || fail "the Windows stand-in failed"
wineserver -w
cp "$program/ICopy-report.txt" "$work/seeded.txt"
[[ $(grep -c . "$work/seeded.txt") -ge 100 ]] || fail "the seeded prefix holds too few values"

startTool() {
    "$build/ordevan" --wine-prefix "$WINEPREFIX" >>"$work/ordevan.log" 2>&1 &
    tool=$!
    if warning=$(window '^Information'); then
        xdotool windowfocus --sync "$warning" key Return
    fi
    main=$(window '^Ordevan 8') || fail "no main window"
    xdotool windowfocus --sync "$main"
}

# 1. No Wine server runs: user.reg is patched.
startTool
edit Down 333 "Dark Blue" 800 100
click "${pathButton[@]}"
dialog=$(window '^Select InstantCopy 8 executable') || fail "no path dialog"
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool type --delay 5 "$program/ICopy.exe"
xdotool key Return
sleep 0.5
grep -qF '"PathIC8"="C:\\Program Files\\VOB\\InstantCopy 8\\ICopy.exe"' "$WINEPREFIX/user.reg" \
    || { grep PathIC8 "$WINEPREFIX/user.reg" >&2; fail "the Windows path was not stored"; }
launch "$program/ICopy-report.txt"
cp "$program/ICopy-report.txt" "$work/first.txt"
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
expect "$work/seeded.txt" "$work/first.txt" "$work/expected.txt"
wineserver -w
echo "-- saved with no Wine server running: the copy program read exactly the saved values"

# 2. A Wine server runs (kept alive here): the save goes through Wine.
wineserver -p
startTool
edit Up 444 'Blu "scuro" \ è' 650 300
launch "$program/ICopy-report.txt"
cp "$program/ICopy-report.txt" "$work/second.txt"
cat >"$work/expected.txt" <<'END'
8.0\Copy\CacheSize 100 -> 300
8.0\Copy\MaxCdSize 800 -> 650
8.0\Copy\TestWrite True -> False
8.0\Copy\WriteMethod dwmDAO -> dwmAutomatic
8.0\MainWindowLeft 333 -> 444
8.0\ShowToolTips False -> True
8.0\SkinName Dark Blue -> Blu "scuro" \\ è
8.0\ViewStatus vsProgress -> vsDetails
END
expect "$work/first.txt" "$work/second.txt" "$work/expected.txt"
wineserver -k
wineserver -w
echo "-- saved with a Wine server running: the copy program read exactly the saved values"

# 3. A folder named with blanks, quotes and shell syntax starts exactly that file.
odd="$WINEPREFIX/drive_c/Program Files/It's odd \$(touch pwned) & \`touch pwned2\`; x"
mkdir -p "$odd"
cp "$standin" "$odd/ICopy.exe"
startTool
click "${pathButton[@]}"
dialog=$(window '^Select InstantCopy 8 executable') || fail "no path dialog"
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 5 "$odd/ICopy.exe"
xdotool key Return
# A click while the dialog is still going away would be its, not the window's.
for _ in $(seq 1 50); do viewable "$dialog" || break; sleep 0.1; done
sleep 0.5
launch "$odd/ICopy-report.txt"
rm -f "$program/ICopy-report.txt"
cmp -s <(sort "$odd/ICopy-report.txt") <(sort "$work/second.txt") || fail "the odd folder's program read other values"
[[ -z "$(find "$WINEPREFIX" "$work" "$HOME" "$PWD" /tmp -maxdepth 4 -name 'pwned*' 2>/dev/null | head -1)" ]] || fail "a folder name was run as a command"
echo "-- a folder named with shell syntax: exactly its program started"
echo "passed in $((SECONDS - start)) s"
