#!/usr/bin/env bash
# Builds the programs (scripts/build.sh) and the Debian package
# build/vantrex-report_<version>_<arch>.deb with CPack, then checks it: the menu entries with
# desktop-file-validate, the whole package with lintian (an error fails). Prints the package's
# path last.
#
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-shlibdeps computes the dependencies; the checkers.
bash scripts/setup.sh dpkg-dev lintian desktop-file-utils man-db
bash scripts/build.sh

fail() {
    echo "package.sh: $1" >&2
    exit 1
}

version=$(sed -n 's/^project(VantrexReport VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || fail "no project version in CMakeLists.txt"
# The package's changelog must describe this version.
changelog_version=$(sed -n '1s/^vantrex-report (\([^)]*\)).*/\1/p' packaging/changelog)
[[ $changelog_version == "$version" ]] ||
    fail "packaging/changelog starts with version '$changelog_version', the project is $version"

deb=build/vantrex-report_${version}_$(dpkg --print-architecture).deb
rm -f "$deb"
if ! (cd build && cpack -G DEB) >build/cpack.log 2>&1; then
    cat build/cpack.log >&2
    fail "cpack failed"
fi
[[ -f $deb ]] || { cat build/cpack.log >&2; fail "cpack did not write $deb"; }

desktop-file-validate packaging/*.desktop || fail "a menu entry is not valid"
# Tags of the info and pedantic levels are left out; warnings are shown, errors fail.
lintian --fail-on error "$deb" || fail "lintian found errors in $deb"
echo "$deb"
