#!/usr/bin/env bash
# Times 'tarmelo-cli check' on a file of N lines of one typical vehicle (a car with free text, price and VAT
# rate) and prints the best of R runs in lines per second.
# Usage: bench/check_lines.sh path/to/tarmelo-cli [N] [R]
set -euo pipefail

cli=${1:?path to tarmelo-cli}
n=${2:-100000}
runs=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

line=$(head -n 1 "$here/../examples/bestand.csv" | tr -d '\r')
body=${line#*;}
awk -v n="$n" -v body="$body" 'BEGIN { for (i = 1; i <= n; ++i) printf "%d;%s\r\n", i, body }' >"$work/lines.csv"

best=""
for ((r = 0; r < runs; ++r)); do
    start=$(date +%s%N)
    "$cli" check --now 2026-12-01T12:00:00 "$work/lines.csv" >/dev/null
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    if [[ -z "$best" || $ms -lt $best ]]; then best=$ms; fi
done
echo "check: $n lines in $best ms, $((n * 1000 / (best > 0 ? best : 1))) lines/s (best of $runs)"
