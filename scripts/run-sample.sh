#!/usr/bin/env bash
# Builds the programs, creates a store from the bundled purchasing sample and writes the report of
# the purchase orders received into OUTDIR/received.pdf. Everything the run writes (settings,
# data path, database, document) stays inside OUTDIR (default: ./sample-run); your own settings
# are never touched.
#
#   scripts/run-sample.sh [OUTDIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
outdir="${1:-$PWD/sample-run}"
mkdir -p "$outdir"
outdir="$(cd "$outdir" && pwd)"

bash "$root/scripts/build.sh"

# The suite's settings, home folder and program folder of this run.
export HOME="$outdir/home"
export XDG_CONFIG_HOME="$outdir/home/.config"
export JOV_PROGRAM_DIR="$outdir/program"
export XDG_RUNTIME_DIR="$outdir/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$JOV_PROGRAM_DIR"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# No window: the report runs in batch mode and writes the document straight to PDF.
unset DISPLAY WAYLAND_DISPLAY

bin="$root/build/bin"
loaded="$("$bin/vantrex-sample-store" --replace "$outdir/data")"
echo "$loaded"
range="$(grep '^START=' <<<"$loaded" | tail -n 1)"
if [ -z "$range" ]; then
  echo "run-sample.sh: the sample store printed no date range" >&2
  exit 1
fi

pdf="$outdir/received.pdf"
rm -f "$pdf"
"$bin/vantrex-report" --pdf "$pdf" "$range"
echo "The report of the purchase orders received ($range) is in:"
echo "$pdf"
