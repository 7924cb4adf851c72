#!/usr/bin/env bash
# Builds the given presets (default: windows native).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(windows native)
for p in "${presets[@]}"; do
    cmake --preset "$p" -DKESTRAVE_WERROR=${KESTRAVE_WERROR:-OFF} >/dev/null
    cmake --build --preset "$p"
done
