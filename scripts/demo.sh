#!/usr/bin/env bash
# Sets up, builds and runs the main job on the embedded demo book.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target fingraf
exec build/app/fingraf promet --demo "$@"
