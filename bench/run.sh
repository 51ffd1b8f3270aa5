#!/usr/bin/env bash
# Times the report against a large generated store.
#
#   bench/run.sh [--engine sqlite|postgres|odbc] [--rows N] [--keep DIR] [--export] [--compare]
#                [--no-build] [--bin DIR] [--timeout SECONDS] [-- GENERATOR-OPTIONS...]
#
# Builds the programs (scripts/build.sh, into build/bin), makes a throw-away home, settings and
# program folder (and for postgres a throw-away server, scripts/pg-test-server.sh; odbc is the
# same server reached through its ODBC driver and the ODBC backend), generates
# the store with vantrex-bench-store (timed on its own), then times
#   vantrex-report --pdf OUT.pdf 'START=<first>|END=<last>'
# with /usr/bin/time -v and prints the figures. --export adds a second run with EXPORT=Y.
# Everything is removed afterwards unless --keep DIR names where to put it (DIR is kept).
# Options after "--" go to the generator as they are (--items, --orders, --seed ...).
# --compare times, instead of one report, 3 pairs of a report and the bare aggregate that computes
# the same totals in one statement (bench/aggregate.sql, run by sqlite3 or psql on the same
# store), and prints both medians and their ratio.
# --bin DIR takes the programs from another build folder (no build); --timeout stops a report
# run after SECONDS (default 3600).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

engine=sqlite
rows=1000000
keep=""
export_run=no
compare=no
build=yes
bin=""
timeout_s=3600
extra=()
usage() {
    sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 3
}
while [[ $# -gt 0 ]]; do
    case $1 in
    --engine) engine=${2:?}; shift 2 ;;
    --rows) rows=${2:?}; shift 2 ;;
    --keep) keep=${2:?}; shift 2 ;;
    --timeout) timeout_s=${2:?}; shift 2 ;;
    --export) export_run=yes; shift ;;
    --compare) compare=yes; shift ;;
    --no-build) build=no; shift ;;
    --bin) bin=$(cd "${2:?}" && pwd); build=no; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    *) usage ;;
    esac
done
[[ $engine == sqlite || $engine == postgres || $engine == odbc ]] || usage

# /usr/bin/time (GNU time) is the one thing the benchmark needs beyond the project's own set.
if [[ ! -x /usr/bin/time ]]; then
    echo "run.sh: installing time" >&2
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO="sudo"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends time >/dev/null
fi
if [[ $build == yes ]]; then
    bash "$root/scripts/build.sh"
fi
bin=${bin:-$root/build/bin}
for program in vantrex-bench-store vantrex-report; do
    [[ -x $bin/$program ]] || { echo "run.sh: $bin/$program is missing (build first)" >&2; exit 1; }
done

if [[ -n $keep ]]; then
    mkdir -p "$keep"
    work="$(cd "$keep" && pwd)"
else
    work="$(mktemp -d /tmp/vantrex-bench.XXXXXX)"
fi
# The database server's own user must be able to reach its folder below this one.
chmod 755 "$work"
cleanup() {
    if [[ $engine != sqlite ]]; then
        bash "$root/scripts/pg-test-server.sh" stop "$work/pg" || true
    fi
    if [[ -z $keep ]]; then
        rm -rf "$work"
    fi
}
trap cleanup EXIT

# The suite's settings, home folder and program folder of this run; no window.
export HOME="$work/home"
export XDG_CONFIG_HOME="$work/home/.config"
export JOV_PROGRAM_DIR="$work/program"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$JOV_PROGRAM_DIR"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY

generator=("$bin/vantrex-bench-store" --replace --rows "$rows")
password=""
if [[ $engine != sqlite ]]; then
    bash "$root/scripts/pg-test-server.sh" start "$work/pg"
    eval "$(bash "$root/scripts/pg-test-server.sh" env "$work/pg")"
    server=$VANTREX_PG_SERVER
    if [[ $engine == odbc ]]; then
        # The same server reached through its ODBC driver (the ODBC backend).
        server="odbc:Driver={PostgreSQL Unicode};Servername=$work/pg;Port=5432"
    fi
    generator+=(--server "$server" --user "$VANTREX_PG_USER" --password -)
    password=$VANTREX_PG_PASSWORD
    unset VANTREX_PG_PASSWORD
fi
generator+=("${extra[@]}" "$work/data")

# The figures of one /usr/bin/time -v report: wall seconds, user seconds, peak RSS in MB.
wall_seconds() {
    awk -F': ' '/Elapsed \(wall clock\)/ {
        n = split($2, p, ":"); s = 0
        for (i = 1; i <= n; i++) s = s * 60 + p[i]
        printf "%.1f", s }' "$1"
}
user_seconds() { awk -F': ' '/User time/ { printf "%.1f", $2 }' "$1"; }
peak_mb() { awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$1"; }

echo "== generating $rows rows ($engine) in $work"
set +e
printf '%s\n' "$password" | /usr/bin/time -v -o "$work/generate.time" "${generator[@]}" \
    >"$work/generate.out" 2>"$work/generate.err"
gen_status=$?
set -e
cat "$work/generate.out"
if [[ $gen_status -ne 0 ]]; then
    cat "$work/generate.err" >&2
    echo "run.sh: the generator failed (exit $gen_status)" >&2
    exit 1
fi
range="$(grep '^START=' "$work/generate.out" | tail -n 1)"

# One timed report run; prints its figures.
run_report() {
    local name=$1 line=$2
    local pdf="$work/$name.pdf" timing="$work/$name.time"
    rm -f "$pdf"
    echo "-- report ($name): vantrex-report --pdf $name.pdf '$line'"
    set +e
    # time outside timeout: the figures are the report's (a child's peak RSS counts).
    /usr/bin/time -v -o "$timing" timeout "$timeout_s" "$bin/vantrex-report" --pdf "$pdf" "$line" \
        >"$work/$name.out" 2>"$work/$name.err"
    local status=$?
    set -e
    local pages="-"
    [[ -s $pdf ]] && pages="$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')"
    [[ $status -eq 124 ]] && echo "run.sh: the report was stopped after $timeout_s s" >&2
    grep -v '^vantrex-report: the document is in' "$work/$name.err" | head -n 20 >&2 || true
    printf '%-22s %s\n' \
        "report wall time" "$(wall_seconds "$timing") s (user $(user_seconds "$timing") s)" \
        "report peak RSS" "$(peak_mb "$timing") MB" \
        "PDF pages" "$pages ($(du -h "$pdf" 2>/dev/null | cut -f1 || echo -))" \
        "exit status" "$status"
}

echo
echo "== figures"
printf '%-22s %s\n' \
    "engine" "$engine" \
    "rows" "$rows" \
    "generation time" "$(wall_seconds "$work/generate.time") s (peak RSS $(peak_mb "$work/generate.time") MB)"
if [[ $compare == yes ]]; then
    source "$root/bench/compare.sh"
    compare_runs
else
    run_report received "$range"
fi
if [[ $export_run == yes ]]; then
    run_report export "$range|EXPORT=Y"
    ls -l "$work/data/export" 2>/dev/null | tail -n +2 || true
fi
