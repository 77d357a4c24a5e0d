#!/usr/bin/env bash
# A throwaway PostgreSQL 15 cluster for the tests.
#   postgres_jetable.sh start [fichier]  creates it in a temporary folder,
#       listening on 127.0.0.1 on a free port, and writes its URI (for the
#       environment variable TARVENOR_PG_URI) into the file (default
#       build/postgres_jetable.uri), and on standard output.
#   postgres_jetable.sh stop [fichier]   stops it and removes its folder.
# The server runs as the postgres account (runuser when started as root, as
# CI does); the cluster trusts local connections over 127.0.0.1 only, but
# for the account tarvenor_mdp, which must give its password.
set -euo pipefail
cd "$(dirname "$0")/.."
action=${1:-}
fichier=${2:-build/postgres_jetable.uri}
bin=/usr/lib/postgresql/15/bin

en_postgres() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case "$action" in
start)
    if [ ! -x "$bin/initdb" ]; then
        echo "PostgreSQL 15 n'est pas installé ($bin/initdb absent) : les tests du serveur seront ignorés." >&2
        exit 1
    fi
    dossier=$(mktemp -d /tmp/tarvenor-pg.XXXXXX)
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dossier"
    # A port nothing listens on (tried at random above the registered ones).
    port=
    for _ in $(seq 50); do
        p=$((20000 + RANDOM % 40000))
        if ! (exec 3<> "/dev/tcp/127.0.0.1/$p") 2> /dev/null; then
            port=$p
            break
        fi
    done
    [ -n "$port" ] || { echo "Aucun port libre trouvé." >&2; exit 1; }
    en_postgres "$bin/initdb" -D "$dossier/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 > "$dossier/initdb.log"
    # The account tarvenor_mdp must give its password (the password tests);
    # every other local account is trusted.
    sed -i '1i host all tarvenor_mdp 127.0.0.1/32 scram-sha-256' "$dossier/data/pg_hba.conf"
    en_postgres "$bin/pg_ctl" -D "$dossier/data" -l "$dossier/serveur.log" -w \
        -o "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories=$dossier -c fsync=off -c max_connections=200" start > /dev/null
    uri="postgresql://postgres@127.0.0.1:$port/postgres"
    mkdir -p "$(dirname "$fichier")"
    printf '%s\n%s\n' "$uri" "$dossier" > "$fichier"
    echo "$uri"
    ;;
stop)
    [ -f "$fichier" ] || exit 0
    dossier=$(sed -n 2p "$fichier")
    if [ -n "$dossier" ] && [ -d "$dossier/data" ]; then
        en_postgres "$bin/pg_ctl" -D "$dossier/data" -m immediate -w stop > /dev/null || true
        rm -rf "$dossier"
    fi
    rm -f "$fichier"
    ;;
*)
    echo "usage: $0 start|stop [fichier]" >&2
    exit 2
    ;;
esac
