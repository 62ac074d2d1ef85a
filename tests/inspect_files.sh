#!/bin/bash
# quillon-inspect font names why a file cannot be read, with a non-zero exit; keeps a file name's bytes
# when they are not UTF-8; and needs no display, even one that is named but cannot be reached.
set -eu
inspect="$QUILLON_BINARY_DIR/quillon-inspect"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
font="$QUILLON_TEST_FONTS/DejaVuSans.ttf"

fails_with() { # expected message, then the file
    local said
    if said=$("$inspect" font "$2" 2>&1 >/dev/null); then echo "exit 0 for $2"; exit 1; fi
    case "$said" in *"$1"*) ;; *) echo "for $2: $said"; exit 1 ;; esac
}
mkdir "$scratch/folder"
mkfifo "$scratch/pipe"
fails_with "is a folder" "$scratch/folder"
fails_with "not a regular file" "$scratch/pipe"
fails_with "no such file" "$scratch/missing.ttf"
cp "$font" "$scratch/locked.ttf"
chmod 000 "$scratch/locked.ttf"
if [ "$(id -u)" -ne 0 ]; then
    fails_with "no permission" "$scratch/locked.ttf"
elif command -v setpriv >/dev/null; then
    # root reads anything: ask as nobody, who may enter the folder but not read the file
    chmod 755 "$scratch"
    said=$(setpriv --reuid=65534 --regid=65534 --clear-groups "$inspect" font "$scratch/locked.ttf" 2>&1 >/dev/null) && exit 1
    case "$said" in *"no permission"*) ;; *) echo "as nobody: $said"; exit 1 ;; esac
fi

bad=$(printf "$scratch/bad\377\376.ttf")
cp "$font" "$bad"
out=$(DISPLAY=:97 WAYLAND_DISPLAY= "$inspect" font "$bad")
printf '%s\n' "$out" | grep -qxF "$(printf 'FontFile\t%s' "$bad")"
printf '%s\n' "$out" | grep -qxF "$(printf 'ValidTrueTypeFile\tTrue')"
# info and names on a file that is not installed, under a name that is not UTF-8; coverage in list order.
out=$("$inspect" info "$bad" --text "a漢")
printf '%s\n' "$out" | grep -qxF "$(printf 'Described\t%s\t0' "$bad")"
printf '%s\n' "$out" | grep -qxF "$(printf 'Missing\t漢 U+6F22')"
"$inspect" info "$bad" --json | grep -q '"glyphs"'
# The file added for the run is listed by its own path only, not also under the font system's memory name.
printf '%s\n' "$out" | grep -q qmemoryfonts && exit 1
# A collection: one block per face, in file order.
ttc="$QUILLON_TEST_FONTS/wqy-microhei.ttc"
[ "$("$inspect" info "$ttc" | grep -P '^(Collection|Described)\t' | cut -f1,2,3 | tr '\t\n' ' ;')" = \
  "Collection 1 2;Described $ttc 0;Collection 2 2;Described $ttc 1;" ]
"$inspect" info "$ttc" --json | grep -q '"faceCount": 2'
"$inspect" names "$bad" | grep -qP '^1\tFamily\tWindows\t1\tEnglish \(United States\)\tDejaVu Sans$'
"$inspect" info "$scratch/missing.ttf" 2>/dev/null && exit 1
[ "$("$inspect" coverage "漢字")" = "WenQuanYi Micro Hei" ]
echo "inspect files: ok"
