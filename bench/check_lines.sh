#!/usr/bin/env bash
# Times 'tarmelo-cli check' on a file of N lines of one typical vehicle (a car with free text, price and VAT
# rate) and prints the median and the best of R runs in lines per second.
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

# Wall time and, for a machine shared with other work, the CPU time (user + system) of the process.
walls=()
cpus=()
for ((r = 0; r < runs; ++r)); do
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$cli" check --now 2026-12-01T12:00:00 "$work/lines.csv" >/dev/null
    read -r wall user sys <"$work/time"
    walls+=("$(awk -v t="$wall" 'BEGIN { printf "%d", t * 1000 }')")
    cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')")
done
# The median of the sorted times, and the best.
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
best() { printf '%s\n' "$@" | sort -n | head -n 1; }
rate() { echo $((n * 1000 / ($1 > 0 ? $1 : 1))); }
mw=$(median "${walls[@]}")
mc=$(median "${cpus[@]}")
bw=$(best "${walls[@]}")
bc=$(best "${cpus[@]}")
echo "check: $n lines, $runs runs: wall median $mw ms ($(rate "$mw") lines/s), best $bw ms ($(rate "$bw") lines/s);" \
    "CPU median $mc ms ($(rate "$mc") lines/s), best $bc ms ($(rate "$bc") lines/s)"
