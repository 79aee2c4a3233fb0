#!/usr/bin/env bash
# Installs the dependencies, checks the formatting, builds with the sanitizers (warnings as errors) and runs the
# whole test suite with LeakSanitizer on.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARMELO_SANITIZE=ON -DTARMELO_WERROR=ON -DTARMELO_TESTS=ON
cmake --build build-test
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
ctest --test-dir build-test --output-on-failure -j2
