#!/usr/bin/env bash
# The project's test command: installs what is missing, builds, starts a throw-away PostgreSQL
# server (so the database tests run on both engines), runs every test, and stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/build.sh

pgdir=$(mktemp -d /tmp/vantrex-pg.XXXXXX)
trap 'bash "$root/scripts/pg-test-server.sh" stop "$pgdir" || true' EXIT
bash scripts/pg-test-server.sh start "$pgdir"
eval "$(bash scripts/pg-test-server.sh env "$pgdir")"
export VANTREX_PG_SERVER VANTREX_PG_USER VANTREX_PG_PASSWORD

cd build
ctest --output-on-failure --timeout 600 -j"$(nproc)"
