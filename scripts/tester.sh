#!/usr/bin/env bash
# Installs, builds and runs every test through CTest (widget tests offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh
scripts/construire.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
