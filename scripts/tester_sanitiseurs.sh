#!/usr/bin/env bash
# Builds the project in build-asan/ with AddressSanitizer and UndefinedBehavior-
# Sanitizer, and runs every test through CTest there (widget tests offscreen).
# The first fault a sanitizer finds (bad memory access, leak, undefined
# behaviour) ends its test with a report, and the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh tests
lanceur=()
command -v ccache > /dev/null && lanceur=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVENOR_SANITIZERS=ON "${lanceur[@]}"
cmake --build build-asan -j "$(nproc)"
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
