#!/usr/bin/env bash
# Sets up, builds and starts Vidorex.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vidorex -j"$(nproc)"
exec build/vidorex
