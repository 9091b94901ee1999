#!/usr/bin/env bash
# The two commands of the README:
#   ./dev.sh run    install what is missing, build, start the tool
#   ./dev.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")"

build=build
jobs=$(nproc)

configure_and_build() {
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$build" -j "$jobs"
}

case "${1:-}" in
run)
    scripts/setup build test run
    configure_and_build
    # Ordevan edits the copy program's settings in a Wine prefix when one
    # holds them, else in a file of its own (see the README). On a fresh
    # machine that store holds none yet: the stand-in copy program creates
    # them once, as the real one would.
    "$build/tools/ICopy.exe" --seed-if-new
    if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
        exec "$build/ordevan"
    fi
    scripts/on-xvfb 1024x768 scripts/screenshot "$build/ordevan" "$build/screenshot.png"
    echo "No display: the tool ran under Xvfb; its window is in $build/screenshot.png"
    ;;
test)
    scripts/setup build test run package
    configure_and_build
    ctest --test-dir "$build" --output-on-failure -j "$jobs"
    ;;
*)
    echo "usage: ./dev.sh run | test" >&2
    exit 2
    ;;
esac
