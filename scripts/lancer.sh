#!/usr/bin/env bash
# Installs, builds, creates the demonstration database beside the program if
# it is missing, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh
scripts/construire.sh
mkdir -p build/DATA
[ -f build/DATA/BD.mdb ] || build/tarvenor_demo build/DATA/BD.mdb
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a build/tarvenor
fi
exec build/tarvenor
