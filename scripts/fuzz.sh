#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer (in
# build-fuzz) and runs each for SECONDS (default 60) from its committed seed corpus
# fuzz/corpus/<target>. Inputs found along the way go to build-fuzz/corpus/<target>, an input
# that crashes or trips a sanitizer to build-fuzz/crashes/. Exit status 1 when any target found
# something.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/setup.sh
if ! command -v clang++ >/dev/null; then
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO="sudo"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang \
        >/dev/null
fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVANTREX_FUZZ=ON -DVANTREX_WERROR=OFF >/dev/null
cmake --build build-fuzz --target fuzzers -j"$(nproc)"

mkdir -p build-fuzz/crashes
failed=()
for target in build-fuzz/fuzz/*_fuzz; do
    name=$(basename "$target")
    mkdir -p "build-fuzz/corpus/$name"
    echo "== $name ($seconds s)"
    if ! QT_QPA_PLATFORM=offscreen "$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/crashes/$name-" \
        "build-fuzz/corpus/$name" "fuzz/corpus/$name" >"build-fuzz/$name.log" 2>&1; then
        failed+=("$name")
        tail -n 30 "build-fuzz/$name.log" >&2
    fi
    grep -E '^stat::number_of_executed_units' "build-fuzz/$name.log" || true
done
if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzz.sh: found something in: ${failed[*]} (inputs in build-fuzz/crashes)" >&2
    exit 1
fi
echo "fuzz.sh: nothing found"
