#!/usr/bin/env bash
# Installs what is missing, builds Linomark into build/ and starts it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLINOMARK_TESTS=OFF -DLINOMARK_BENCH=OFF >/dev/null
cmake --build build --target linomark -j"$(nproc)"
exec build/app/linomark "$@"
