#!/usr/bin/env bash
# `cmake --install` of the current build into a temporary root (DESTDIR, prefix /usr), then the
# installed tree is checked and each installed command answers --version.
# Usage: CheckInstall.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
BUILD_DIR=$(realpath "$1")
SOURCE_DIR=$(realpath "$2")
source "$SOURCE_DIR/tests/packaging/InstalledTree.sh"

root=$(mktemp -d "${TMPDIR:-/tmp}/ordvane-install.XXXXXX")
trap 'rm -rf "$root"' EXIT

DESTDIR=$root cmake --install "$BUILD_DIR" --prefix /usr >"$root.log" 2>&1 ||
    { cat "$root.log" >&2; rm -f "$root.log"; exit 1; }
rm -f "$root.log"
check_installed_tree "$root"
echo "installed tree checked"
