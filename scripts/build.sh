#!/usr/bin/env bash
# Configures and builds Pictoreel into build/ (the build folder is a working
# program folder: pictoreel, jpeg2swf and the pointer files side by side).
# Arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build --parallel "$(nproc)"
