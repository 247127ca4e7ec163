#!/usr/bin/env bash
# `cmake --install` of the current build into a temporary root (DESTDIR, prefix /usr), then the
# installed tree is checked and each installed command answers --version.
# Usage: CheckInstall.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/InstalledTree.sh" "$@"

DESTDIR=$work/root cmake --install "$BUILD_DIR" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; exit 1; }
check_installed_tree "$work/root"
echo "installed tree checked"
