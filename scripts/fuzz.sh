#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (build-fuzz/) and runs each for N seconds over its corpus.
# Usage: scripts/fuzz.sh [SECONDS per harness, default 30] [harness ...]
# Findings land in build-fuzz/findings/<harness>/; the exit code is non-zero when any harness found one.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
build="$root/build-fuzz"
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARMELO_FUZZ=ON \
    -DTARMELO_TESTS=OFF "${launcher[@]}" >/dev/null || exit 2
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    for f in "$root"/fuzz/fuzz_*.cpp; do
        harnesses+=("$(basename "$f" .cpp)")
    done
fi
cmake --build "$build" -j"$(nproc)" --target "${harnesses[@]}" || exit 2

# Leaks in a harness run are findings too; a slow input is one after 10 s.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
status=0
for h in "${harnesses[@]}"; do
    corpus="$root/fuzz/corpus/$h"
    # New inputs go to a scratch copy: the committed seeds stay as they are.
    work="$build/corpus/$h"
    findings="$build/findings/$h"
    mkdir -p "$work" "$findings"
    [ -d "$corpus" ] && cp -n "$corpus"/* "$work"/ 2>/dev/null
    log="$build/findings/$h.log"
    "$build/fuzz/$h" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1
    rc=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    if [ $rc -eq 0 ]; then
        printf '%-16s ok      %s executions in %s s\n' "$h" "${runs:-?}" "$seconds"
    else
        status=1
        printf '%-16s FINDING (exit %d), see %s\n' "$h" "$rc" "$log"
        grep -m3 -E 'ERROR|property failed|SUMMARY' "$log" | sed 's/^/    /'
        ls "$findings" | sed 's/^/    /'
    fi
done
exit $status
