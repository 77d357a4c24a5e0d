#!/usr/bin/env bash
# Installs the Debian packages the project needs (as root, or through sudo).
# With the argument "fuzz", also clang and its libFuzzer runtime (scripts/fuzz.sh).
set -euo pipefail
paquets=(cmake g++ make qt6-base-dev libsqlite3-dev libpq-dev libssl-dev postgresql postgresql-15 qt6-translations-l10n xvfb xauth fonts-dejavu-core poppler-utils dpkg-dev file desktop-file-utils)
if [ "${1:-}" = fuzz ]; then
    paquets+=(clang libclang-rt-14-dev)
fi
manquants=()
for p in "${paquets[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || manquants+=("$p")
done
if [ ${#manquants[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${manquants[@]}"
fi
