# Driving the main window by keyboard as a user does, and reading what the
# copy program's stand-in reports; sourced by the Wine end-to-end scripts
# after windows.sh. They set $main, the main window, and $tool, its process,
# and define fail.

# Where the window's controls are, in its own coordinates.
pathButton=(614 38) launchButton=(711 38) generalPage=(48 149) copyPage=(48 223)
firstValue=(300 179) allLists=(346 580) save=(730 566)
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep 0.3; }
keys() { xdotool key --delay 80 "$@"; sleep 0.3; }
typed() { xdotool type --delay 40 "$1"; keys Return; }

# One value of each kind on the General page and on the Copy page, by
# keyboard from the first value of each: a list item (F2, a step, Enter), a
# number (typed), a text (F2, all replaced), a yes/no (space); then All
# Lists and Save Settings.
#   edit <step> <number> <text> <copy number> <cache>
edit() {
    local step=$1
    click "${generalPage[@]}"
    click "${firstValue[@]}"          # InterfaceType, the current cell: a click edits it
    keys Escape Down F2 "$step" Return # ViewStatus: the next or previous item
    keys Down; typed "$2"             # MainWindowLeft, pixels
    keys Down Down Down F2 ctrl+a     # SkinName (past MainWindowTop and a heading)
    typed "$3"
    keys Down Down space              # ShowToolTips
    click "${copyPage[@]}"
    click "${firstValue[@]}"          # WriteMethod
    keys Escape F2 "$step" Return
    keys Down Down Down space         # TestWrite (past CloseCDMethod, ErrorHandling)
    keys Down Down Down Down          # MaxCdSize (past WriteSpeed, a heading, BurnProof)
    typed "$4"
    keys Down Down Down Down Down Down Down Down Down # CacheSize, in units of 2.5 MB
    typed "$5"
    click "${allLists[@]}"
    click "${save[@]}"
}

# Launch the copy program from the window ($tool, its process, ends) and
# wait for its report.   launch <report>
launch() {
    local report=$1
    rm -f "$report"
    click "${launchButton[@]}"
    for _ in $(seq 1 50); do kill -0 "$tool" 2>/dev/null || break; sleep 0.1; done
    # Now and then (about one run in seven here) the click after the path
    # dialog does not reach the button; clicked again, it does. Said, so
    # that it is not forgotten.
    if kill -0 "$tool" 2>/dev/null; then
        echo "-- the launch click was not taken; clicking again" >&2
        click "${launchButton[@]}"
    fi
    for _ in $(seq 1 50); do kill -0 "$tool" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$tool" 2>/dev/null && fail "the tool did not end after the launch"
    tool=""
    for _ in $(seq 1 300); do [[ -f "$report" ]] && break; sleep 0.1; done
    [[ -f "$report" ]] || fail "the copy program wrote no report: $report"
}

# The report lines that changed from BEFORE to AFTER, as "old -> new", must
# be those of EXPECTED.   expect <before> <after> <expected changes>
expect() {
    { diff <(sort "$1") <(sort "$2") || true; } | awk -F'\t' '
        /^</ { old[substr($1, 3)] = $3 }
        /^>/ { new[substr($1, 3)] = $3 }
        END { for (k in new) print k " " old[k] " -> " new[k]; for (k in old) if (!(k in new)) print k " gone" }' |
        sort | diff "$3" - >&2 || fail "the copy program read other values than those saved"
}
