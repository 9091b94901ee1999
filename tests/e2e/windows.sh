# Finding the tool's windows on the virtual display; sourced by the
# end-to-end scripts.

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# The first viewable window whose name matches NAME, of process PID when
# given, within 15 s.   window NAME [PID]
window() {
    local name=$1 pid=${2:-}
    for _ in $(seq 1 150); do
        for id in $(xdotool search ${pid:+--all --pid "$pid"} --name "$name" 2>/dev/null); do
            viewable "$id" && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}
