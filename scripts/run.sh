#!/usr/bin/env bash
# Installs the dependencies, builds and checks the bundled example inventory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARMELO_TESTS=OFF
cmake --build build
./build/src/tarmelo-cli check --now 2026-12-01T12:00:00 examples/bestand.csv
