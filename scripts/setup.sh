#!/usr/bin/env bash
# Installs every Debian package the project builds, runs and tests with, when it is missing.
# Idempotent and quiet when everything is already present.
#
#   scripts/setup.sh [PACKAGE...]   also the given packages (tools of one script only)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libcairo2-dev libfontconfig-dev libfreetype-dev libhpdf-dev
  libsqlite3-dev sqlite3
  libpq-dev postgresql
  unixodbc-dev tdsodbc odbc-postgresql
  fonts-liberation
  googletest libgtest-dev
  poppler-utils
  xdg-utils
  xvfb xauth
  python3 openssl
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
