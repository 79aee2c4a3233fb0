#!/usr/bin/env bash
# Adding a 12 MP camera photo (4000x3000 JPEG) against the tools a user would compare with, alternating in one run:
#   - whole processes: `tarmelo-cli build` of one vehicle with that photo against ImageMagick's exact Lanczos
#     reduction of the same file to 640x480 (goal: at most 0.35 times);
#   - the photo step alone (reduced decode, Lanczos, encode; bench_photo, in its process) against djpeg's full decode
#     of the same file (a process of its own, which costs djpeg about a millisecond; goal: at most 2 times).
# Usage: bench/photo_vs_convert.sh BUILD_DIR [RUNS]   (BUILD_DIR: Release with -DTARMELO_BENCH=ON; medians of RUNS)
set -euo pipefail
build=${1:?Build-Ordner}
runs=${2:-9}
cli=$(realpath "$build/src/tarmelo-cli")
bench=$(realpath "$build/bench/bench_photo")
for tool in convert djpeg "$cli" "$bench"; do
  command -v "$tool" >/dev/null || { echo "$tool fehlt" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 4000x3000 plasma:fractal -seed 7 -blur 0x1 -quality 90 -sampling-factor 2x2 "$work/in.jpg"
echo "Foto: $(identify -format '%wx%h %b' "$work/in.jpg")"
cat >"$work/ein.json" <<'EOF'
[{"klasse": 1, "marke": "VW", "modell": "Golf", "kategorie": "Limousine", "ez": "05-2015", "kilometer": "10000",
  "preis": 10000, "mwst": "19%", "inr": "N1", "bilder": ["in.jpg"]}]
EOF

ms() { # command... -> milliseconds of the whole process
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.1f", ns / 1e6 }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

# One of each first: the files and the programs are in the page cache for every timed run.
ms convert "$work/in.jpg" -filter Lanczos -resize 640x480 -quality 90 "$work/out.jpg" >/dev/null
ms "$cli" build "$work/ein.json" "$work/out.zip" >/dev/null
c=() t=() d=() s=()
for _ in $(seq 1 "$runs"); do
  c+=("$(ms convert "$work/in.jpg" -filter Lanczos -resize 640x480 -quality 90 "$work/out.jpg")")
  t+=("$(ms "$cli" build "$work/ein.json" "$work/out.zip")")
  d+=("$(ms djpeg -outfile /dev/null "$work/in.jpg")")
  s+=("$("$bench" step "$work/in.jpg")")
done
unzip -p "$work/out.zip" 1_1.jpg >"$work/stored.jpg"
echo "gespeichert: $(identify -format '%wx%h' "$work/stored.jpg"), ImageMagick: $(identify -format '%wx%h' "$work/out.jpg")"
mc=$(median "${c[@]}") mt=$(median "${t[@]}") md=$(median "${d[@]}") ms_=$(median "${s[@]}")
echo "convert (Lanczos):      ${c[*]} ms (Median $mc ms)"
echo "tarmelo-cli build:      ${t[*]} ms (Median $mt ms)"
echo "djpeg (volle Größe):    ${d[*]} ms (Median $md ms)"
echo "Fotoschritt (Prozess):  ${s[*]} ms (Median $ms_ ms)"
awk -v t="$mt" -v c="$mc" -v s="$ms_" -v d="$md" 'BEGIN {
  printf "build / convert: %.2f (Ziel: höchstens 0,35)\n", t / c
  printf "Fotoschritt / djpeg: %.2f (Ziel: höchstens 2)\n", s / d
}'
