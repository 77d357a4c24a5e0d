#!/usr/bin/env bash
# Installs what the tests need (scripts/installer.sh tests), builds everything
# and runs every test through CTest (widget tests offscreen).
# A throwaway PostgreSQL cluster (scripts/postgres_jetable.sh) serves the
# suites that run on both backends; it is stopped at the end, whatever
# happens. Without PostgreSQL those suites are skipped, saying why.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/installer.sh tests
scripts/construire.sh
racine=$(pwd)
fichier_uri="$racine/build/postgres_jetable.uri"
if uri=$(scripts/postgres_jetable.sh start "$fichier_uri"); then
    trap '"$racine/scripts/postgres_jetable.sh" stop "$fichier_uri"' EXIT
    export TARVENOR_PG_URI="$uri"
    echo "Serveur PostgreSQL de test : $uri"
else
    echo "Serveur PostgreSQL de test indisponible : les suites sur le serveur seront ignorées."
fi
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
