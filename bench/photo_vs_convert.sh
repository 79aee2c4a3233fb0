#!/usr/bin/env bash
# Times ImageMagick's Lanczos reduction of a 4000x3000 JPEG against bench_photo on the same file.
# Usage: photo_vs_convert.sh <path to bench_photo> [runs]
set -euo pipefail
bench=${1:?path to bench_photo}
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 4000x3000 plasma:fractal -seed 7 -blur 0x1 -quality 90 -sampling-factor 2x2 "$work/in.jpg"
echo "input: $(identify -format '%wx%h %b' "$work/in.jpg")"

start=$(date +%s.%N)
for ((i = 0; i < runs; i++)); do
  convert "$work/in.jpg" -filter Lanczos -resize 640x480 -quality 90 "$work/out.jpg"
done
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v n="$runs" -v size="$(identify -format '%wx%h' "$work/out.jpg")" \
  'BEGIN { printf "convert: %.1f ms per photo (%s)\n", (e - s) * 1000 / n, size }'

TARMELO_BENCH_JPEG="$work/in.jpg" "$bench" --benchmark_filter=BM_ReduceAddedPhoto \
  --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true 2>/dev/null |
  awk '/_mean|_median/ { print "bench_photo " $1 ": " $2 " " $3 " (" $NF ")" }'
