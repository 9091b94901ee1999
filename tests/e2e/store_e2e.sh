#!/usr/bin/env bash
# The settings file through the real binary on a virtual display, as users
# hit it: a save killed at random moments, two instances saving over each
# other, and a full disk.
#
#   store_e2e.sh <build folder> [kill rounds]
# With SHOTS=<folder> set, pictures of the messages are saved there.
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-12}

if [[ "${3:-}" != --inside ]]; then
    for tool in Xvfb xdotool iconv python3; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
    unset QT_QPA_PLATFORM
    # Wide enough for two windows side by side.
    exec "$(dirname "$0")/../../scripts/on-xvfb" 1720x800 "$0" "$build" "$rounds" --inside
fi

work=$(mktemp -d)
pids=()
cleanup() {
    kill -9 "${pids[@]}" 2>/dev/null || true
    mountpoint -q "$work/full" 2>/dev/null && umount "$work/full"
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; tail -20 "$work/ordevan.log" >&2; exit 1; }
source "$(dirname "$0")/windows.sh"
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
shot() { [[ -n "${SHOTS:-}" ]] && import -window root "$SHOTS/$1.png" || true; }
# The file as UTF-8 text without carriage returns.
text() {
    if [[ $(head -c 2 "$1" | od -An -tx1 | tr -d ' ') == fffe ]]; then
        iconv -f UTF-16 -t UTF-8 "$1" | tr -d '\r'
    else
        tr -d '\r' <"$1"
    fi
}
# The copy program's values, one per line with their key.
settings() {
    text "$1" | awk '/^\[/ { key = index($0, "CD Wizard") ? $0 : "" } key && /^"/ { print key " " $0 }' | sort
}

# Where the window's controls are, in its own coordinates.
allLists=(346 580) defaults=(522 566) save=(730 566) leftValue=(300 273)

# The copy program's settings with values that differ from the lists'
# defaults, among other programs' keys: 2.6 MB as the tool saves it.
export XDG_CONFIG_HOME=$work/home
"$build/tools/ICopy.exe" --seed >/dev/null
store=$XDG_CONFIG_HOME/Ordevan/registry.reg
{
    text "$store" | sed -E 's/=dword:[0-9a-f]{8}$/=dword:00000007/; s/^("[^"]+")="[^"]*"$/\1="changed"/'
    printf '\n[HKEY_CURRENT_USER\\Software\\Tarsel\\Ordevan8]\n"WantWarning"="False"\n"Language"="English"\n"Version"="8v3"\n"PathIC8"=""\n'
    python3 -c '
for key in range(7000):
    print("\n[HKEY_CURRENT_USER\\Software\\Other\\Program%d\\Key%d]" % (key // 50, key))
    for value in range(4):
        print("\"Value%d\"=\"some text of another program\"" % value)
'
} | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/base.reg"
cp "$work/base.reg" "$store"
echo "-- a store of $(($(stat -c %s "$store") / 1000)) kB"

start() {
    "$build/ordevan" >>"$work/ordevan.log" 2>&1 &
    pids+=($!)
    started=$!
    main=$(window '^Ordevan 8' "$started") || {
        xdotool search --name '^Ordevan$' >/dev/null 2>&1 && shot unexpected-message
        fail "no main window"
    }
}

# 1. Restore Default then Save on all lists, killed at a random moment: the
# file holds the old or the new whole save. The first round is not killed,
# and gives the new state.
start
click "$main" "${allLists[@]}"
click "$main" "${defaults[@]}"
click "$main" "${save[@]}"
for _ in $(seq 1 100); do
    cmp -s "$store" "$work/base.reg" || break
    sleep 0.05
done
sleep 0.5
kill -9 "$started"
wait "$started" 2>/dev/null || true
settings "$store" >"$work/new.txt"
settings "$work/base.reg" >"$work/old.txt"
cmp -s "$work/new.txt" "$work/old.txt" && fail "the save changed nothing"
old=0 new=0
for round in $(seq 1 "$rounds"); do
    cp "$work/base.reg" "$store"
    start
    click "$main" "${allLists[@]}"
    click "$main" "${defaults[@]}"
    # The kill is timed from the moment the click is sent.
    click "$main" "${save[@]}" &
    sleep "$(printf '0.%03d' $((RANDOM % 60)))"
    kill -9 "$started"
    wait 2>/dev/null || true # the click, and the killed tool, which lets go of its lock
    settings "$store" >"$work/now.txt"
    if cmp -s "$work/now.txt" "$work/old.txt"; then
        old=$((old + 1))
    elif cmp -s "$work/now.txt" "$work/new.txt"; then
        new=$((new + 1))
    else
        diff "$work/old.txt" "$work/now.txt" | head -5 >&2
        fail "round $round left part of a save"
    fi
    [[ $(text "$store" | grep -c '^\[HKEY_CURRENT_USER\\Software\\Other\\' || true) == 7000 ]] \
        || fail "round $round lost other programs' keys"
done
copies=$(find "$(dirname "$store")" -name '.registry.reg.*.tmp' | wc -l)
((copies <= 1)) || fail "$copies copies left by killed saves: each save removes those before it"
echo "-- $rounds saves killed at random: $old left the old state, $new the new one, none a mix"

# 2. Two instances: B restores and saves every list; A, opened before, then
# saves one edit of its own. B's values stay, A's edit is stored, and A says
# that it replaced a value B had changed.
cp "$work/base.reg" "$store"
start
first=$main
start
second=$main
xdotool windowmove --sync "$second" 900 0
click "$second" "${allLists[@]}"
click "$second" "${defaults[@]}"
click "$second" "${save[@]}"
sleep 1
click "$first" "${leftValue[@]}"
xdotool windowfocus --sync "$first" type --delay 20 "333"
xdotool key Return
click "$first" "${save[@]}"
message=$(window '^Ordevan$') || fail "A did not say that it replaced B's value"
shot message-overwritten
xdotool windowfocus --sync "$message" key Return
text "$store" >"$work/now.txt"
grep -q '^"MainWindowLeft"=dword:0000014d$' "$work/now.txt" || fail "A's edit was not stored"
grep -q '^"MainWindowTop"=dword:00000050$' "$work/now.txt" || fail "A reverted B's MainWindowTop"
echo "-- two instances: B's values kept, A's edit stored and named"
kill -9 "${pids[@]}" 2>/dev/null || true
pids=()

# 3. A full disk: Save leaves the file byte for byte and says why.
mkdir -p "$work/full"
if mount -t tmpfs -o size=64k tmpfs "$work/full" 2>/dev/null; then
    export XDG_CONFIG_HOME=$work/full
    "$build/tools/ICopy.exe" --seed >/dev/null
    full=$XDG_CONFIG_HOME/Ordevan/registry.reg
    { text "$full" | sed -E 's/=dword:[0-9a-f]{8}$/=dword:00000007/'
      printf '\n[HKEY_CURRENT_USER\\Software\\Tarsel\\Ordevan8]\n"WantWarning"="False"\n"Language"="English"\n"Version"="8v3"\n"PathIC8"=""\n'
    } | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/small.reg"
    cp "$work/small.reg" "$full"
    dd if=/dev/zero of="$work/full/filler" bs=1k count=200 2>/dev/null || true
    start
    click "$main" "${allLists[@]}"
    click "$main" "${defaults[@]}"
    click "$main" "${save[@]}"
    message=$(window '^Ordevan$') || fail "no message on a full disk"
    shot message-disk-full
    xdotool windowfocus --sync "$message" key Return
    cmp -s "$full" "$work/small.reg" || fail "the full disk changed the file"
    echo "-- a full disk: the file is byte-identical and the user was told"
else
    echo "-- a full disk: skipped, no tmpfs can be mounted here"
fi
echo "passed"
