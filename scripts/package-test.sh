#!/usr/bin/env bash
# The package's acceptance run: builds the Debian package (scripts/package.sh), installs it
# with apt-get, creates the sample store and writes its report with the installed programs in
# a throw-away home, checks what the run wrote and where, checks the menu entries and manual
# pages, then removes and purges the package and checks that nothing of it is left.
# Package steps run as root (through sudo for other users). An installed vantrex-report is
# removed first, and the package is removed again however the run ends.
#
#   scripts/package-test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
SUDO=""
[[ $(id -u) -ne 0 ]] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
package=vantrex-report
share=/usr/share/vantrex-report

installed() {
    dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qv '^not-installed$'
}
purge() {
    $SUDO apt-get purge -y -qq "$package" >/dev/null
}

work=$(mktemp -d)
stray="$work/stray" # files the run wrote under /usr
: >"$stray"
finished=no
cleanup() {
    local status=$?
    [[ $finished == yes ]] || echo "package-test.sh: FAIL (the run stopped with status $status)"
    if installed; then purge || true; fi
    # What the run left in the folders the program could take for its own goes; anything else
    # under /usr was only reported.
    grep -E "^(/usr/bin/[^/]+|$share/.+)\$" "$stray" | while read -r f; do
        $SUDO rm -f -- "$f"
    done || true
    $SUDO rmdir "$share" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

failed=()
passed=0
# check NAME COMMAND...: runs COMMAND, records the outcome and carries on.
check() {
    local name=$1
    shift
    if "$@" >"$work/check.log" 2>&1; then
        passed=$((passed + 1))
        echo "ok   $name"
    else
        failed+=("$name")
        echo "FAIL $name"
        sed 's/^/     /' "$work/check.log"
    fi
}

# The checks. Each prints what it found when it fails.
holds_its_files() {
    local list programs f
    list=$(dpkg -L "$package")
    for f in /usr/bin/vantrex-report /usr/bin/JOVDataConfiguration /usr/bin/vantrex-sample-store \
        $share/upper.alt $share/sample/README.md $share/sample/vendors.csv \
        $share/sample/orders.csv $share/sample/order_lines.csv $share/sample/products.csv \
        /usr/share/applications/vantrex-report.desktop \
        /usr/share/applications/JOVDataConfiguration.desktop \
        /usr/share/icons/hicolor/scalable/apps/vantrex-report.svg \
        /usr/share/man/man1/vantrex-report.1.gz /usr/share/man/man1/JOVDataConfiguration.1.gz \
        /usr/share/doc/$package/copyright /usr/share/doc/$package/changelog.gz; do
        grep -qxF "$f" <<<"$list" || { echo "missing: $f"; return 1; }
    done
    # No test or screenshot program.
    programs=$(grep '^/usr/bin/.' <<<"$list" | sort | tr '\n' ' ')
    [[ $programs == "/usr/bin/JOVDataConfiguration /usr/bin/vantrex-report /usr/bin/vantrex-sample-store " ]] ||
        { echo "programs: $programs"; return 1; }
}
equals() { # WHAT ACTUAL EXPECTED
    [[ $2 == "$3" ]] || { echo "$1: '$2', expected '$3'"; return 1; }
}
contains() { # WHAT ACTUAL PART
    [[ $2 == *"$3"* ]] || { echo "$1: '$2', expected to contain '$3'"; return 1; }
}
pdf_field() {
    pdfinfo "$pdf" 2>/dev/null | sed -n "s/^$1: *//p"
}
is_pdf() {
    [[ $(head -c 5 "$1") == "%PDF-" ]]
}
nothing_listed() {
    ! grep . "$1"
}
has_files() { # FOLDER FILE...
    local folder=$1 f status=0
    shift
    for f in "$@"; do
        [[ -f $folder/$f ]] || { echo "missing: $folder/$f"; status=1; }
    done
    return $status
}
man_page_renders() {
    local warnings
    equals "man -w $1" "$(man -w "$1")" "/usr/share/man/man1/$1.1.gz" || return 1
    warnings=$(man --warnings -l "/usr/share/man/man1/$1.1.gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] || { echo "$warnings"; return 1; }
}
not_installed() {
    ! installed
}
all_gone() { # LIST: the package's paths
    local f status=0
    while read -r f; do
        if [[ -L $f ]] || [[ -e $f && ! -d $f ]]; then echo "left: $f"; status=1; fi
    done <"$1"
    [[ ! -e $share ]] || { echo "left: $share"; status=1; }
    return $status
}

bash scripts/package.sh | tee "$work/package.log"
deb=$(tail -n 1 "$work/package.log")
version=$(dpkg-deb -f "$deb" Version)
if installed; then purge; fi
$SUDO apt-get install -y -qq "$root/$deb" >/dev/null
check "the package holds its files and no other program" holds_its_files

# A throw-away home: settings, program folder and data path of the run.
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache" XDG_RUNTIME_DIR="$work/runtime"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY JOV_PROGRAM_DIR
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Whatever the run writes from here on must stay out of /usr.
stamp="$work/stamp"
touch "$stamp"
sleep 1

check "--version names the program and its version" \
    equals "--version" "$(/usr/bin/vantrex-report --version)" "Vantrex Report $version"
range=""
# The clone's own sample folder is hidden (an empty folder mounted over it, in a mount namespace
# of this one command): the installed program must read the sample the package ships.
if unshare -rm sh -c 'mount -t tmpfs tmpfs "$1" && shift && exec "$@"' sh "$root/sample/data" \
    /usr/bin/vantrex-sample-store "$HOME/TK" >"$work/sample.log" 2>&1; then
    range=$(grep '^START=' "$work/sample.log" | tail -n 1 || true)
fi
check "the sample store prints its range" contains "its output" "$(cat "$work/sample.log")" "START="
pdf="$HOME/report.pdf"
check "the report is written as PDF" /usr/bin/vantrex-report --pdf "$pdf" "$range"
check "the PDF is a PDF" is_pdf "$pdf"
check "PDF Title is the report's title" contains Title "$(pdf_field Title)" \
    "Purchase Orders Received"
check "PDF Author is the company" equals Author "$(pdf_field Author)" "Adventure Works Cycles"
check "PDF Creator is the program and version" equals Creator "$(pdf_field Creator)" \
    "Vantrex Report $version"

# Files written under /usr since the stamp; not those another package's installation (a
# concurrent apt run) put there.
find /usr -xdev -newer "$stamp" \( -type f -o -type l \) -not -path '*/__pycache__/*' 2>/dev/null |
    while read -r f; do
        owner=$(dpkg -S "$f" 2>/dev/null | sed -n '1s/: .*//p' || true)
        [[ -n $owner && $owner != *"$package"* ]] || echo "$f"
    done >"$stray"
check "nothing was written under /usr" nothing_listed "$stray"
check "the program folder is \$XDG_DATA_HOME/jov" \
    has_files "$XDG_DATA_HOME/jov" RptVantrex.RSF 52.txt

check "the menu entries are valid" desktop-file-validate \
    /usr/share/applications/vantrex-report.desktop \
    /usr/share/applications/JOVDataConfiguration.desktop
for page in vantrex-report JOVDataConfiguration vantrex-sample-store; do
    check "man $page renders without warnings" man_page_renders "$page"
done

dpkg -L "$package" >"$work/listed"
$SUDO apt-get remove -y -qq "$package" >/dev/null
# A package without configuration files leaves nothing to purge; dpkg then no longer knows it.
if installed; then purge; fi
check "the package is removed and purged" not_installed
check "every file of the package is gone" all_gone "$work/listed"

finished=yes
if [[ ${#failed[@]} -eq 0 ]]; then
    echo "package-test.sh: PASS ($passed checks, $deb)"
else
    printf -v names '%s; ' "${failed[@]}"
    echo "package-test.sh: FAIL (${#failed[@]} of $((passed + ${#failed[@]})) checks: ${names%; })"
    exit 1
fi
