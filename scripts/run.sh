#!/usr/bin/env bash
# Installs the dependencies, builds, checks the bundled example inventory and opens it in the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARMELO_TESTS=OFF
cmake --build build
./build/src/tarmelo-cli check examples/bestand.csv
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    ./build/src/tarmelo examples/bestand.csv
else
    echo "Kein Bildschirm gefunden: tarmelo wird nicht gestartet (DISPLAY ist nicht gesetzt)."
fi
