#!/usr/bin/env bash
# Produces the pictures of the program's windows, offscreen: the print preview with the sample
# store's report (first page at 100 % and 50 %, a highlighted match) and a received purchase
# order's printout, the preview with a long document, and the dialogs. Then checks that every
# picture was written and has the size of a window. Settings, stores and programs' folders of
# the run are throw-away folders; your own are never touched.
#
#   scripts/screenshots.sh [--no-build] [--bin DIR] [OUTDIR]     (default OUTDIR: ./screenshots)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/bin"
build=1
outdir="$PWD/screenshots"
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --bin) bin="$2"; build=0; shift ;;
    *) outdir="$1" ;;
  esac
  shift
done
[ "$build" = 1 ] && bash "$root/scripts/build.sh"
mkdir -p "$outdir"
outdir="$(cd "$outdir" && pwd)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" JOV_PROGRAM_DIR="$work/program"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$JOV_PROGRAM_DIR"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# Each tool and the pictures it must write.
declare -A pictures=(
  [report-screenshots]="report-100.png report-50.png report-found.png po-printout.png"
  [preview-screenshots]="preview-100.png preview-50.png preview-found.png"
  [dbconfig-screenshots]="dbconfig-embedded.png dbconfig-postgresql.png dbconfig-failed-test.png
    dbconfig-sqlserver.png dbconfig-odbc.png"
  [spec-screenshots]="specs-opened.png specs-changed.png specs-accepted.png"
  [dialog-screenshots]="datapath-first-run.png datapath-stored.png browser-folders.png browser-files.png"
)
status=0
for tool in "${!pictures[@]}"; do
  if ! "$bin/$tool" "$outdir" >"$work/$tool.log" 2>&1; then
    echo "screenshots.sh: $tool failed:" >&2
    cat "$work/$tool.log" >&2
    status=1
  fi
  for png in ${pictures[$tool]}; do
    file="$outdir/$png"
    size="$(python3 -c 'import struct,sys
d=open(sys.argv[1],"rb").read(24)
print(*struct.unpack(">II",d[16:24])) if d[:8]==b"\x89PNG\r\n\x1a\n" else print(0,0)' "$file" 2>/dev/null || echo "0 0")"
    read -r w h <<<"$size"
    if [ "$w" -lt 300 ] || [ "$h" -lt 200 ]; then
      echo "screenshots.sh: $png is missing or too small (${w}x${h})" >&2
      status=1
    fi
  done
done
ls -1 "$outdir"/*.png
exit $status
