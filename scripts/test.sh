#!/usr/bin/env bash
# Installs the dependencies, builds with the sanitizers and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARMELO_SANITIZE=ON -DTARMELO_TESTS=ON
cmake --build build-test
export ASAN_OPTIONS=detect_leaks=0
ctest --test-dir build-test --output-on-failure -j2
