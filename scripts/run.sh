#!/usr/bin/env bash
# Installs the dependencies, builds, checks the bundled example inventory and opens it in the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARMELO_TESTS=OFF
cmake --build build
# The example inventory as the program keeps it: an archive built from the bundled vehicles.
./build/src/tarmelo-cli build examples/bestand.json build/bestand.zip
./build/src/tarmelo-cli check build/bestand.zip
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    ./build/src/tarmelo build/bestand.zip
else
    echo "Kein Bildschirm gefunden: tarmelo wird nicht gestartet (DISPLAY ist nicht gesetzt)."
fi
