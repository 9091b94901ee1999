#!/bin/sh
# Peak memory (the most resident memory, as /usr/bin/time -v counts it) and
# wall time of the command line's get and set and of a window's read of the
# four pages and save of one, on a user.reg of MEGABYTES (50 by default)
# that no Wine server runs in; each in a process of its own, three times.
#   bench/wineprefix_memory.sh BUILD_FOLDER [MEGABYTES]
set -eu
build=$(cd "${1:-build}" && pwd)
megabytes=${2:-50}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$build/bench/wineprefix_memory" make "$prefix" "$megabytes"
size=$(stat -c %s "$prefix/user.reg")
echo "user.reg: $size bytes"

measure() {
    label=$1
    shift
    /usr/bin/time -f '%e %M' -o "$prefix/time" "$@" > "$prefix/out"
    read -r seconds kilobytes < "$prefix/time"
    awk -v l="$label" -v s="$seconds" -v k="$kilobytes" -v f="$size" 'BEGIN {
        printf "%-22s %6.2f s %8.1f MB %5.2f x the file\n", l, s, k / 1024, k * 1024 / f }'
}

for run in 1 2 3; do
    measure get "$build/ordevanctl" --wine-prefix "$prefix" get MainWindowLeft
    measure set "$build/ordevanctl" --wine-prefix "$prefix" set MainWindowLeft $((500 + 10 * run))
    measure "four pages + save" "$build/bench/wineprefix_memory" window "$prefix"
    cat "$prefix/out"
done
