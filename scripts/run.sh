#!/usr/bin/env bash
# Builds Greenslip and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target greenslip
exec build/bin/greenslip "$@"
