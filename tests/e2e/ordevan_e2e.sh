#!/usr/bin/env bash
# End to end, as a newcomer would use the tool: the stand-in creates the copy
# program's settings in a fresh home; the real ordevan binary starts on a
# virtual display; the user answers the warning, points the path button at
# the stand-in's folder and launches it. The store is checked afterwards.
#
#   ordevan_e2e.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)

if [[ "${2:-}" != --inside ]]; then
    for tool in Xvfb xdotool iconv; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
    # What needs no display works without one, and the rest says what is missing.
    bare=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$build/ordevan")
    "${bare[@]}" --help | grep -q -- '--wine-prefix DIR' || { echo "FAILED: --help"; exit 1; }
    [[ $("${bare[@]}" --version) == "ordevan "* ]] || { echo "FAILED: --version"; exit 1; }
    status=0
    said=$("${bare[@]}" 2>&1) || status=$?
    [[ $status == 1 && $said == "ordevan: no display: set DISPLAY or WAYLAND_DISPLAY, or use ordevanctl" ]] \
        || { echo "FAILED: without a display, exit $status: $said"; exit 1; }

    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    export XDG_CONFIG_HOME=$home
    unset QT_QPA_PLATFORM
    "$build/tools/ICopy.exe" --seed
    exec "$(dirname "$0")/../../scripts/on-xvfb" 1024x768 "$0" "$build" --inside
fi

store=$XDG_CONFIG_HOME/Ordevan/registry.reg
fail() { echo "FAILED: $*" >&2; exit 1; }
text() { iconv -f UTF-16 -t UTF-8 "$store" | tr -d '\r'; }
source "$(dirname "$0")/windows.sh"

text | grep -q '^\[HKEY_CURRENT_USER\\Software\\vob\\CD Wizard\\8.0\\Copy\]' \
    || fail "the stand-in did not create the Copy settings"
text | grep -q '^"MaxCdSize"=dword:000002bc' || fail "no MaxCdSize of 700"

"$build/ordevan" &
tool=$!
standin=""
trap 'kill $tool $standin 2>/dev/null || true' EXIT

warning=$(window '^Information') || fail "no start-up warning"
xdotool windowfocus --sync "$warning" key Return
main=$(window '^Ordevan 8') || fail "no main window"

# The path button (title bar at 6,7; the button at 586,9, 56 x 58).
xdotool mousemove --window "$main" 620 45 click 1
dialog=$(window '^Select InstantCopy 8 executable') || fail "no path dialog"
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool type --delay 5 "$build/tools/ICopy.exe"
xdotool key Return
for _ in $(seq 1 50); do
    text | grep -q '^"PathIC8"=".*ICopy.exe"' && break
    sleep 0.1
done
text | grep -q "^\"PathIC8\"=\"${build//\//\\/}\\/tools\\/ICopy.exe\"" \
    || { text | grep PathIC8 >&2; fail "the path was not stored"; }

# The launch button (649,9, 124 x 58) starts the stand-in and ends the tool.
xdotool mousemove --window "$main" 717 45 click 1
for _ in $(seq 1 100); do
    kill -0 $tool 2>/dev/null || break
    sleep 0.1
done
kill -0 $tool 2>/dev/null && fail "the tool did not end after the launch"
standin=$(pgrep -f "$build/tools/ICopy.exe" | head -1 || true)
window '^InstantCopy 8 \(stand-in\)' >/dev/null || fail "the stand-in shows no window"
text | grep -q '^"StandInStarted"="20' || fail "the stand-in did not note its start"

text | grep -q '^"WantWarning"="True"' || fail "WantWarning"
text | grep -q '^"Language"="English"' || fail "Language"
text | grep -q '^"Version"="8v3"' || fail "Version"
echo "1 passed, 0 failed"
