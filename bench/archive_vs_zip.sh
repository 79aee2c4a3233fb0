#!/usr/bin/env bash
# Times saving and opening a 500-vehicle inventory with 15 photos of 64 KiB each against zip and unzip
# on the same member files, and the open's peak memory against the photos' size plus 150 MiB.
# Then open + save as a user does it, `tarmelo-cli convert` of that archive (read, checked, written and flushed to
# the medium), against the durable reference `unzip -tq` of the archive plus `zip -0 -q` of the same members and
# `sync` of zip's archive, alternating, medians (goal: at most 0.8), and convert's peak memory against the photos plus
# 150 MiB.
# Usage: archive_vs_zip.sh [build dir, default build-bench] [runs, default 5]
# Needs zip, unzip and GNU time (/usr/bin/time); uses hyperfine when present. Builds nothing.
set -euo pipefail
build=${1:-$(dirname "$0")/../build-bench}
runs=${2:-5}
bench=$build/bench/bench_archive
cli=$build/src/tarmelo-cli
[ -x "$bench" ] && [ -x "$cli" ] || { echo "no $bench or $cli: build with -DTARMELO_BENCH=ON first" >&2; exit 2; }
for tool in zip unzip /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps.sh installs it)" >&2; exit 2; }
done
bench=$(realpath "$bench")
cli=$(realpath "$cli")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
members=$work/members

fixture=$("$bench" fixture "$work")
photo_bytes=$(sed -n 's/.*photo_bytes=\([0-9]*\).*/\1/p' <<<"$fixture")
echo "fixture: $fixture, archive $(stat -c %s "$work/bestand.zip") bytes"

# best_ms <output to remove before each run, or ""> <command...>: the fastest of $runs runs after one
# warm-up run, so that both sides read from a warm page cache. Each run starts after a sync: neither side
# should pay for writing back what an earlier run left dirty.
best_ms() {
  local out=$1
  shift
  if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 1 --runs "$runs" --prepare "bash -c 'rm -f -- \"\$1\"; sync' prepare '$out'" \
      --export-csv "$work/hf.csv" \
      "$(printf '%q ' "$@")" >/dev/null
    awk -F, 'NR == 2 { printf "%.1f", $7 * 1000 }' "$work/hf.csv"
    return
  fi
  local best=0 start end i
  for ((i = 0; i <= runs; i++)); do
    if [ -n "$out" ]; then rm -f "$out"; fi
    sync
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    if ((i > 0 && (best == 0 || end - start < best))); then best=$((end - start)); fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.1f", ns / 1e6 }'
}

# The glob needs a shell; hyperfine (-N) runs without one.
# shellcheck disable=SC2016 # expanded by that shell
zip_ms=$(best_ms "$work/zip.zip" bash -c 'cd "$1" && zip -0 -q "$2" -- *' zip "$members" "$work/zip.zip")
save_ms=$(best_ms "$work/saved.zip" "$bench" save "$members" "$work/saved.zip")
unzip_ms=$(best_ms "" unzip -tq "$work/saved.zip")
open_ms=$(best_ms "" "$bench" open "$work/saved.zip")

/usr/bin/time -v "$bench" open "$work/saved.zip" 2>"$work/time.txt"
rss_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$work/time.txt")

awk -v save="$save_ms" -v zip="$zip_ms" -v open="$open_ms" -v unzip="$unzip_ms" -v rss="$((rss_kb * 1024))" \
  -v photos="$photo_bytes" 'BEGIN {
    mib = 1048576; bound = photos + 150 * mib
    printf "save: bench_archive %8.1f ms, zip -0 -q %8.1f ms, ratio %.2f (goal <= 1.20) %s\n",
           save, zip, save / zip, save <= 1.2 * zip ? "PASS" : "FAIL"
    printf "open: bench_archive %8.1f ms, unzip -tq %8.1f ms, ratio %.2f (goal <= 1.00) %s\n",
           open, unzip, open / unzip, open <= unzip ? "PASS" : "FAIL"
    printf "peak: open %.1f MiB, bound %.1f MiB (photos %.1f MiB + 150 MiB), ratio %.2f %s\n",
           rss / mib, bound / mib, photos / mib, rss / bound, rss < bound ? "PASS" : "FAIL"
  }'

# Open + save. Each run starts after a sync, so that neither side writes back what the other left.
ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.1f", ns / 1e6 }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
# shellcheck disable=SC2016 # expanded by that shell
reference() { bash -c 'unzip -tq "$1" && cd "$2" && rm -f "$3" && zip -0 -q "$3" -- * && sync "$3"' ref "$@"; }
ours=() refs=()
for ((i = 0; i <= runs; i++)); do
  rm -f "$work/converted.zip"
  sync
  o=$(ms "$cli" convert "$work/bestand.zip" "$work/converted.zip")
  sync
  r=$(ms reference "$work/bestand.zip" "$members" "$work/ref.zip")
  if ((i > 0)); then ours+=("$o") refs+=("$r"); fi # the first run warms the caches
done
/usr/bin/time -v "$cli" convert "$work/bestand.zip" "$work/converted.zip" >/dev/null 2>"$work/time2.txt"
rss2_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$work/time2.txt")
mo=$(median "${ours[@]}")
mr=$(median "${refs[@]}")
echo "open+save: tarmelo-cli convert ${ours[*]} ms (median $mo)"
echo "           unzip -tq + zip -0 -q + sync ARCHIV ${refs[*]} ms (median $mr)"
awk -v o="$mo" -v r="$mr" -v rss="$((rss2_kb * 1024))" -v photos="$photo_bytes" 'BEGIN {
    mib = 1048576; bound = photos + 150 * mib
    printf "open+save: ratio %.2f (goal <= 0.80) %s\n", o / r, o <= 0.8 * r ? "PASS" : "FAIL"
    printf "peak: convert %.1f MiB, bound %.1f MiB, ratio %.2f %s\n", rss / mib, bound / mib, rss / bound,
           rss < bound ? "PASS" : "FAIL"
  }'
