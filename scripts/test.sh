#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: those of the Linux
# programs, and those of the Windows programs under Wine (whose first build
# includes Qt for Windows: see the README for how long it takes).
#   PICTOREEL_LINUX_ONLY=1  leaves the Windows build and its tests out, for a
#                           quick local run on the Linux side (CI never does).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${PICTOREEL_LINUX_ONLY:-}" = 1 ]; then
  echo "test.sh: PICTOREEL_LINUX_ONLY=1: the Windows build and its tests are left out" >&2
  scripts/install-deps.sh
  scripts/build.sh -DPICTOREEL_WINDOWS_BUILD=
else
  # Installs the packages of both builds.
  scripts/build-windows.sh
  scripts/build.sh -DPICTOREEL_WINDOWS_BUILD="$PWD/build-windows"
fi
ctest --test-dir build --output-on-failure --timeout 600
