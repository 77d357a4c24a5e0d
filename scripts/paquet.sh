#!/usr/bin/env bash
# Installs what is needed, builds the installed programs and their manual
# pages in build/ and makes the Debian package there with CPack; prints the
# package's path.
#   sudo apt install ./build/tarvenor_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh paquet
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tarvenor tarvenor_import tarvenor_demo \
    tarvenor_migrer tarvenor_admin tarvenor_documentation
cd build
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
paquet=$(ls -t "$PWD"/tarvenor_*.deb | head -n 1)
dpkg-deb -f "$paquet" Package Version Depends
echo "$paquet"
