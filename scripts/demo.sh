#!/usr/bin/env bash
# Builds Quarvel and runs its main job on the built-in simulated receiver.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
echo "(the main job is not built yet)" >&2
