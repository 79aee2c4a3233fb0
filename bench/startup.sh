#!/usr/bin/env bash
# Start-up time: from the start of the process to its first visible main window, for tarmelo with an empty
# inventory, for a minimal Qt Widgets program and for a window with the same kinds of parts as tarmelo's first paint
# and nothing else (comparable_window), in the same X server (Xvfb) and run, alternating.
# Usage: bench/startup.sh BUILD_DIR [RUNS]   (BUILD_DIR configured with -DTARMELO_BENCH=ON, best Release)
set -euo pipefail
if [ "${1:-}" != --inside ]; then
    # -noreset: the server resets whenever its last client leaves, between two runs here, and refused the next
    # program's connection while it did ("zeigte kein Fenster").
    exec xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$0" --inside "$@"
fi
build=${2:?Build-Ordner}
runs=${3:-7}
minimal=$build/bench/minimal_window
comparable=$build/bench/comparable_window
[ -x "$build/src/tarmelo" ] && [ -x "$minimal" ] && [ -x "$comparable" ] ||
    { echo "tarmelo, minimal_window oder comparable_window fehlt in $build" >&2; exit 2; }

# A fresh home: no settings, no recent files, the defaults of a first start.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home
# Installed as a user would have it: run from the build folder the program misses its help and says so in a
# message box titled "Tarmelo" before its window shows, which the title search below would take for the window.
cmake --install "$build" --prefix "$home/inst" >/dev/null
tarmelo=$home/inst/bin/tarmelo

measure() { # program, window title -> milliseconds to its first visible window
    local start end pid
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    pid=$!
    # A window that never shows (a crashed start) must not hang the benchmark: 30 s at most.
    local deadline=$((start + 30000000000))
    until xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; do
        if [ "$(date +%s%N)" -gt "$deadline" ] || ! kill -0 "$pid" 2>/dev/null; then
            echo "$1 zeigte kein Fenster" >&2
            kill "$pid" 2>/dev/null || true
            exit 1
        fi
        sleep 0.005
    done
    end=$(date +%s%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo $(((end - start) / 1000000))
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

measure "$minimal" '^Minimal$' >/dev/null # warms the file caches
measure "$comparable" '^Vergleich$' >/dev/null
measure "$tarmelo" '^Tarmelo' >/dev/null
m=()
c=()
t=()
for _ in $(seq 1 "$runs"); do
    m+=("$(measure "$minimal" '^Minimal$')")
    c+=("$(measure "$comparable" '^Vergleich$')")
    t+=("$(measure "$tarmelo" '^Tarmelo')")
done
mm=$(median "${m[@]}")
cm=$(median "${c[@]}")
tm=$(median "${t[@]}")
echo "minimal_window:    ${m[*]} ms (Median $mm ms)"
echo "comparable_window: ${c[*]} ms (Median $cm ms)"
echo "tarmelo:           ${t[*]} ms (Median $tm ms)"
awk -v t="$tm" -v m="$mm" 'BEGIN {printf "Verhältnis: %.2f (Ziel: höchstens 1,3)\n", t / m}'
awk -v c="$cm" -v m="$mm" 'BEGIN {printf "vergleichbares Fenster zum minimalen: %.2f\n", c / m}'
awk -v t="$tm" -v c="$cm" 'BEGIN {printf "tarmelo zum vergleichbaren Fenster: %.2f\n", t / c}'
