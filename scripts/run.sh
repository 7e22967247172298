#!/usr/bin/env bash
# Installs what is missing, builds Linomark into build-run/ and starts it. The
# tests build elsewhere (build/), so switching between the two rebuilds nothing.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh run
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-run --target linomark -j"$(nproc)"
exec build-run/app/linomark "$@"
