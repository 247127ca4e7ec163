#!/usr/bin/env bash
# The man pages format without a single groff warning, and the desktop entry validates.
# Usage: CheckDocuments.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
faults=0
for page in "$source_dir"/docs/man/*.1; do
    warnings=$(groff -man -ww -z -Tutf8 "$page" 2>&1)
    if [[ -n $warnings ]]; then
        echo "FAULT: $(basename "$page"): $warnings" >&2
        faults=$((faults + 1))
    fi
    name=$(basename "$page" .1)
    title=$(sed -n 's/^\.TH \([^ ]*\) 1 .*/\1/p' "$page" | tr -d '\\' | tr '[:upper:]' '[:lower:]')
    if [[ $title != "$name" ]]; then
        echo "FAULT: $(basename "$page") has no .TH line for $name" >&2
        faults=$((faults + 1))
    fi
done
desktop-file-validate "$source_dir/packaging/org.ordvane.Ordvane.desktop" || faults=$((faults + 1))
((faults == 0)) && echo "man pages and desktop entry checked"
