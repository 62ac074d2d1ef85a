#!/bin/bash
# The desktop files in data/ pass the desktop's own validators, and the MIME package builds a database.
set -eu
data="$QUILLON_SOURCE_DIR/data"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$data/org.quillon.Quillon.desktop"
else
    echo "desktop-file-validate not installed: skipped"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$data/org.quillon.Quillon.metainfo.xml"
else
    echo "appstreamcli not installed: skipped"
fi
if command -v update-mime-database >/dev/null; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    mkdir -p "$scratch/packages"
    cp "$data/org.quillon.Quillon.xml" "$scratch/packages/"
    update-mime-database "$scratch" 2>/dev/null  # it notes that the scratch folder is not a data folder
    grep -qx 'application/x-font-fon' "$scratch/types"
    grep -qx 'application/x-font-pfm' "$scratch/types"
    grep -q '^application/x-font-fon:\*\.fon$' "$scratch/globs"
fi
