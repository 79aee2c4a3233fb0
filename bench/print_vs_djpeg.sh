#!/usr/bin/env bash
# Times `tarmelo-cli print` of 100 vehicles with 15 photos (640 x 480) each against decoding the same 1 500 JPEG
# files with djpeg. Usage: bench/print_vs_djpeg.sh [path/to/tarmelo-cli]   (a Release build gives the real figures)
set -euo pipefail
cli=${1:-build/src/tarmelo-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq 1 15); do
    convert -seed "$i" -size 640x480 plasma:fractal -quality 90 "$work/p$i.jpg"
done
python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
photos = ["p%d.jpg" % i for i in range(1, 16)]
cars = [{"klasse": 1, "marke": "VW", "modell": "Golf %d" % i, "kategorie": "Limousine", "ez": "05-2015",
         "kilometer": str(10000 + i), "preis": 10000 + i, "mwst": "19%", "inr": "N%d" % i,
         "memo": "Scheckheftgepflegt, Winterr\u00e4der, Anh\u00e4ngerkupplung", "bilder": photos} for i in range(100)]
json.dump(cars, open(work + "/in.json", "w"))
PY
"$cli" build --typed-numbers "$work/in.json" "$work/inv.zip" >/dev/null
mkdir "$work/photos"
unzip -q "$work/inv.zip" '*.jpg' -d "$work/photos"
count=$(find "$work/photos" -name '*.jpg' | wc -l)

t0=$(date +%s.%N)
find "$work/photos" -name '*.jpg' -print0 | xargs -0 -n 1 djpeg -outfile /dev/null
t1=$(date +%s.%N)
"$cli" print "$work/inv.zip" "$work/list.pdf"
t2=$(date +%s.%N)

decode=$(awk "BEGIN {printf \"%.2f\", $t1 - $t0}")
print=$(awk "BEGIN {printf \"%.2f\", $t2 - $t1}")
echo "photos decoded by djpeg: $count in ${decode} s"
echo "tarmelo-cli print:       ${print} s, $(pdfinfo "$work/list.pdf" | awk '/^Pages/ {print $2}') pages, $(stat -c %s "$work/list.pdf") bytes"
echo "ratio print / decode:    $(awk "BEGIN {printf \"%.2f\", $print / $decode}")"
