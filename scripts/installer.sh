#!/usr/bin/env bash
# Installs the Debian packages the project needs (as root, or through sudo),
# after apt-get update when some are missing.
#   installer.sh            what building and running the program needs
#                           (scripts/lancer.sh)
#   installer.sh paquet     also what makes the Debian package and its manual
#                           pages (scripts/paquet.sh)
#   installer.sh tests      also what only the tests need: the PostgreSQL
#                           server, pdftotext, the package tools and checkers
#                           (scripts/tester.sh, scripts/tester_sanitiseurs.sh)
#   installer.sh fuzz       also clang and its libFuzzer runtime (scripts/fuzz.sh)
# Several groups may be given at once.
set -euo pipefail
# Build and run: compiler, Qt, SQLite, libpq and OpenSSL (the program links
# them: the server backend, password hashing), Qt's
# French texts, the font of the reports, a virtual screen when none is open.
paquets=(cmake g++ make qt6-base-dev libsqlite3-dev libpq-dev libssl-dev qt6-translations-l10n
    fonts-dejavu-core xvfb xauth)
paquet=(dpkg-dev file scdoc)
for groupe in "$@"; do
    case "$groupe" in
    paquet) paquets+=("${paquet[@]}") ;;
    tests) paquets+=("${paquet[@]}" postgresql postgresql-15 poppler-utils desktop-file-utils
        lintian man-db) ;;
    fuzz) paquets+=(clang libclang-rt-14-dev) ;;
    *)
        echo "usage: $0 [paquet] [tests] [fuzz]" >&2
        exit 2
        ;;
    esac
done
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
