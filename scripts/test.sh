#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, those of the Windows
# converter under Wine included.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build-windows.sh
scripts/build.sh -DPICTOREEL_WINDOWS_BUILD="$PWD/build-windows"
ctest --test-dir build --output-on-failure --timeout 600
