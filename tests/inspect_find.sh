#!/bin/bash
# quillon-inspect find and chars on the tests' own fonts: the faces a query finds in list order and their
# count, the same characters as the coverage command finds where both name the same faces, every character of
# a face with its name and glyph, and options that are refused.
set -eu
inspect="$QUILLON_BINARY_DIR/quillon-inspect"
[ "$("$inspect" find --count)" -eq "$("$inspect" faces | wc -l)" ]
[ "$("$inspect" find --name 'dejavu sans' --monospaced)" = "DejaVu Sans Mono" ]
[ "$("$inspect" find --format collection)" = "WenQuanYi Micro Hei" ]
# A listed name no installed face has stands for its record's file: a Windows bitmap font, not a substitute.
[ "$("$inspect" find --name "courier 10" --format bitmap)" = "Courier 10" ]
[ "$("$inspect" find --language ka | head -n 1)" = "DejaVu Sans" ]
[ "$("$inspect" find --text '€' --name liberation)" = "$("$inspect" coverage '€' | grep Liberation)" ]
[ "$("$inspect" find --script cyrillic --count)" -ge 5 ]
chars=$("$inspect" chars "DejaVu Sans" --block "currency symbols")
printf '%s\n' "$chars" | grep -qxE "$(printf 'U\\+20AC\tEURO SIGN\t[1-9][0-9]*')"
[ "$(printf '%s\n' "$chars" | cut -f1 | sort -c && echo sorted)" = "sorted" ]
for bad in "--language vi --script Latin" "--feature toolong" "--format woff" "--nonsense"; do
    if "$inspect" find $bad 2>/dev/null; then exit 1; fi
done
if "$inspect" chars "No Such Face" 2>/dev/null; then exit 1; fi
echo "inspect find: ok"
