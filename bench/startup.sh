#!/usr/bin/env bash
# Start-up time: from the start of the process to its first visible main window, for tarmelo with an empty
# inventory and for a minimal Qt Widgets program, in the same X server (Xvfb) and run, alternating.
# Usage: bench/startup.sh BUILD_DIR [RUNS]   (BUILD_DIR configured with -DTARMELO_BENCH=ON, best Release)
set -euo pipefail
build=${1:?Build-Ordner}
runs=${2:-7}
tarmelo=$build/src/tarmelo
minimal=$build/bench/minimal_window
[ -x "$tarmelo" ] && [ -x "$minimal" ] || { echo "tarmelo oder minimal_window fehlt in $build" >&2; exit 2; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home

measure() { # program title -> milliseconds to the first visible window
    local start end pid
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; do sleep 0.005; done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo $(((end - start) / 1000000))
}


export -f measure
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    t=(); m=()
    measure "'"$minimal"'" "^Minimal$" >/dev/null   # warm the caches once
    measure "'"$tarmelo"'" "^Tarmelo" >/dev/null
    for i in $(seq 1 '"$runs"'); do
        m+=($(measure "'"$minimal"'" "^Minimal$"))
        t+=($(measure "'"$tarmelo"'" "^Tarmelo"))
    done
    mm=$(printf "%s\n" "${m[@]}" | sort -n | awk "{a[NR]=\$1} END {print a[int((NR+1)/2)]}")
    tm=$(printf "%s\n" "${t[@]}" | sort -n | awk "{a[NR]=\$1} END {print a[int((NR+1)/2)]}")
    echo "minimal_window: ${m[*]} ms (Median $mm ms)"
    echo "tarmelo:        ${t[*]} ms (Median $tm ms)"
    awk -v t="$tm" -v m="$mm" "BEGIN {printf \"Verhältnis: %.2f (Ziel: höchstens 2)\n\", t / m}"
'
