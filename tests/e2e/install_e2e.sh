#!/usr/bin/env bash
# What `cmake --install` makes of a build, used from where it was installed:
# the files a desktop and a package need, in their places; the manual pages
# and the desktop metadata as their own tools read them; ordevanctl finding
# its lists in share/ordevan/DATA, with no DATA beside it.
#
#   install_e2e.sh <cmake> <build folder>
set -euo pipefail
cmake=$1
build=$(cd "$2" && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }
for tool in zcat groff; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

id=org.ordevan.Ordevan
for file in bin/ordevan bin/ordevanctl \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/ordevan.1.gz share/man/man1/ordevanctl.1.gz \
    share/doc/ordevan/copyright share/doc/ordevan/changelog.gz \
    share/ordevan/DATA/{GENERAL,COPY,SETTINGS,DATAPATH}_{ENG,ITA}.TXT; do
    [[ -f "$prefix/$file" ]] || fail "$file was not installed"
done
[[ ! -e "$prefix/bin/DATA" ]] || fail "the lists were installed beside the programs"
extra=$(cd "$prefix" && find . -type f | grep -v -e '^./bin/ordevan' -e '^./share/' || true)
[[ -z "$extra" ]] || fail "installed besides: $extra"
grep -q '^ Permission is hereby granted' "$prefix/share/doc/ordevan/copyright" \
    || fail "the copyright file lacks the licence's terms"
version=$("$prefix/bin/ordevanctl" --version | cut -d' ' -f2)
zcat "$prefix/share/doc/ordevan/changelog.gz" | head -n 1 | grep -qF "ordevan ($version) " \
    || fail "the changelog does not start with $version"

# The desktop's own checks, where they are installed (scripts/setup package).
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" \
        || fail "AppStream metadata"
fi

# The manual pages: no warning from groff, and every command and option
# that `ordevanctl --help` names has an entry of its own in ordevanctl's.
manual() { zcat "$prefix/share/man/man1/$1.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww "${@:2}" 2>&1; }
for page in ordevan ordevanctl; do
    warnings=$(manual "$page" -z) || true
    [[ -z "$warnings" ]] || fail "$page.1: $warnings"
done
text=$(manual ordevanctl -P-cbou)
help=$("$prefix/bin/ordevanctl" --help)
names=$(sed -n '/^commands:/,/^$/p; /^options:/,/^$/p' <<<"$help" \
    | grep -oE '^  (-[-a-z0-9]+|[a-z]+)' | sed 's/^  //')
[[ $(wc -l <<<"$names") -ge 15 ]] || fail "too few names read from --help: $names"
for name in $names; do
    grep -qE -- "^ {7}$name( |\$)" <<<"$text" || fail "ordevanctl.1 has no entry for $name"
done

# Installed, ordevanctl reads its lists from share/ordevan/DATA; the store
# holds the copy program's keys, as it creates them, and one value.
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
sed 's/$/\r/' "$(dirname "$0")/copyprogram-keys.reg" >"$home/settings.reg"
ctl() { XDG_CONFIG_HOME=$home "$prefix/bin/ordevanctl" --settings-file "$home/settings.reg" "$@"; }
ctl list >"$home/list" || fail "ordevanctl list"
grep -q $'^MainWindowLeft\t300\tPIXELS\t$' "$home/list" || fail "no MainWindowLeft of 300"
[[ $(wc -l <"$home/list") -gt 40 ]] || fail "only $(wc -l <"$home/list") settings listed"
ctl --lang it describe MainWindowLeft | grep -q '^Pagina: Generali$' || fail "no Italian lists"
echo "installed in $prefix: $(cd "$prefix" && find . -type f | wc -l) files; ordevanctl read its lists there"
