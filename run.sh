#!/usr/bin/env bash
# Sets up, builds and starts Vidorex.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vidorex -j"$(nproc)"
exec build/vidorex
