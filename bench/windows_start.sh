#!/usr/bin/env bash
# How long the Windows zip's ordevan.exe takes under Wine to show its main
# window, from `wine ordevan.exe` to the window being viewable, with the
# start-up warning off; and ordevanctl.exe's `get`, against `wine reg query`
# for the same value. The zip is unpacked alone into a fresh prefix; five
# runs each, after one that is not counted (Wine's first start of a program
# loads its DLLs from disk).
#   bench/windows_start.sh ZIP      (on a display: scripts/on-xvfb 1024x768 ...)
set -euo pipefail
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source "$(dirname "$0")/../tests/e2e/windows.sh"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX
WINEPREFIX=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p
unzip -q "$zip" -d "$WINEPREFIX/drive_c/Program Files"
folder=$(ls -d "$WINEPREFIX/drive_c/Program Files"/ordevan-*)
wine reg add 'HKCU\Software\Tarsel\Ordevan8' /v WantWarning /d False /f >/dev/null
wine reg add 'HKCU\Software\VOB\CD Wizard\8.0' /v MainWindowLeft /t REG_DWORD /d 120 /f >/dev/null

now() { date +%s.%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

window_times=()
for run in 0 1 2 3 4 5; do
    started=$(now)
    wine "$folder/ordevan.exe" >/dev/null 2>&1 &
    main=$(window '^Ordevan 8') || { echo "no main window" >&2; exit 1; }
    shown=$(now)
    xdotool windowfocus --sync "$main" key alt+F4
    wait
    ((run > 0)) && window_times+=("$(echo "$shown - $started" | bc)")
done

ctl_times=() reg_times=()
for run in 0 1 2 3 4 5; do
    started=$(now)
    wine "$folder/ordevanctl.exe" get MainWindowLeft >/dev/null
    middle=$(now)
    wine reg query 'HKCU\Software\VOB\CD Wizard\8.0' /v MainWindowLeft >/dev/null
    ended=$(now)
    if ((run > 0)); then
        ctl_times+=("$(echo "$middle - $started" | bc)")
        reg_times+=("$(echo "$ended - $middle" | bc)")
    fi
done

window=$(printf '%s\n' "${window_times[@]}" | median)
ctl=$(printf '%s\n' "${ctl_times[@]}" | median)
reg=$(printf '%s\n' "${reg_times[@]}" | median)
printf 'ordevan.exe, start to main window: %.2f s (median of 5)\n' "$window"
printf 'ordevanctl.exe get:                %.2f s, %.2f x wine reg query (%.2f s)\n' \
    "$ctl" "$(echo "$ctl / $reg" | bc -l)" "$reg"
