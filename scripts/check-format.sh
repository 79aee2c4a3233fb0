#!/usr/bin/env bash
# Every C++ file of the project as .clang-format lays it out.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "Formatierung geprüft."
