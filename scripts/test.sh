#!/usr/bin/env bash
# Sets up, builds every preset and runs every test: native unit tests, then the Windows
# test program and the acceptance checks under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export KESTRAVE_WERROR=ON
bash scripts/build.sh native windows windows-x86
bash scripts/check-imports.sh build/windows/Kestrave.exe
ctest --preset native
bash scripts/wine-tests.sh
bash scripts/drive.sh
