#!/usr/bin/env bash
# The project's test command: installs what is missing, builds, starts a throw-away PostgreSQL
# server (so the database tests run on both engines), runs every test, and stops the server.
#
#   scripts/test.sh              the tests of the normal build (build/)
#   scripts/test.sh --sanitize   the same tests built with AddressSanitizer and
#                                UndefinedBehaviorSanitizer (build-sanitize/)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [[ ${1:-} == --sanitize ]]; then
    bash scripts/setup.sh
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVANTREX_SANITIZE=ON >/dev/null
    cmake --build build-sanitize -j"$(nproc)"
    builddir=build-sanitize
    # Undefined behaviour ends the test that meets it; the toolkit's own allocations that live
    # until the process ends are not leaks of ours.
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export ASAN_OPTIONS=detect_leaks=0:strict_string_checks=1
elif [[ $# -gt 0 ]]; then
    echo "usage: scripts/test.sh [--sanitize]" >&2
    exit 3
else
    bash scripts/build.sh
    builddir=build
fi

pgdir=$(mktemp -d /tmp/vantrex-pg.XXXXXX)
trap 'bash "$root/scripts/pg-test-server.sh" stop "$pgdir" || true' EXIT
bash scripts/pg-test-server.sh start "$pgdir"
eval "$(bash scripts/pg-test-server.sh env "$pgdir")"
export VANTREX_PG_SERVER VANTREX_PG_USER VANTREX_PG_PASSWORD

cd "$builddir"
ctest --output-on-failure --timeout 600 -j"$(nproc)"
