#!/usr/bin/env bash
# `cmake --install` of the current build into a temporary root (DESTDIR, prefix /usr), then the
# installed tree is checked and each installed command answers --version.
# Usage: CheckInstall.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/InstalledTree.sh" "$@"

DESTDIR=$work/root cmake --install "$BUILD_DIR" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; exit 1; }
check_installed_tree "$work/root"

# An empty run-path element makes the loader search the current directory.
for program in "$BUILD_DIR"/bin/* "$BUILD_DIR"/libexec/ordvane/*; do
    [[ -f $program && -x $program ]] || continue
    run_path=$(readelf -d "$program" 2>/dev/null | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    if [[ -n $run_path && ( $run_path == :* || $run_path == *: || $run_path == *::* ) ]]; then
        fault "$(basename "$program") in the build tree has an empty run-path element: $run_path"
    fi
done
((faults == 0))
echo "installed tree checked"
