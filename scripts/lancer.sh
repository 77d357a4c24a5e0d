#!/usr/bin/env bash
# Installs what building and running needs, builds the program and the tool
# that makes the demonstration database (nothing else: the tests are built by
# scripts/tester.sh), creates the demonstration database beside the program
# if it is missing, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tarvenor tarvenor_demo
mkdir -p build/DATA
[ -f build/DATA/BD.mdb ] || build/tarvenor_demo build/DATA/BD.mdb
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a build/tarvenor
fi
exec build/tarvenor
