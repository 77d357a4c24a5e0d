#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from the build folder
# (in a temporary folder), checked by lintian (no error, no warning),
# unpacked with dpkg -x into a clean folder, its files, dependencies and
# manual pages checked, its tools run, and the installed program started
# offscreen twice on a fresh account.
#   tst_paquet.sh BUILD_FOLDER SOURCE_FOLDER
# Exit status 77 (skipped, reason printed) when the packaging tools are missing.
set -euo pipefail
build=$1
sources=$2

for outil in cpack dpkg-deb dpkg-shlibdeps file lintian man; do
    if ! command -v "$outil" >/dev/null; then
        echo "SKIP: $outil est absent (paquets cmake, dpkg-dev, file, lintian, man-db : scripts/installer.sh tests)"
        exit 77
    fi
done

tmp=$(mktemp -d)
pid=""
nettoyer() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap nettoyer EXIT
echec() {
    echo "FAIL: $*"
    exit 1
}

# --- The package ---
debut=$(date +%s)
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/paquet" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; echec "cpack a échoué"; }
deb=$(ls "$tmp"/paquet/tarvenor_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$tmp/cpack.log"; echec "aucun paquet produit"; }
echo "Paquet : $(basename "$deb"), $(stat -c %s "$deb") octets, fait en $(($(date +%s) - debut)) s"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libsqlite3-0 libssl3 libc6; do
    grep -q "\b$dep\b" <<<"$depends" || echec "la dépendance $dep manque"
done

# --- Debian's checks: every error and warning of lintian fails (info may stay) ---
lintian --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 || true
cat "$tmp/lintian.log"
! grep -E '^[EW]: ' "$tmp/lintian.log" >/dev/null || echec "lintian signale des erreurs ou des avertissements"

# --- Unpacked in a clean folder ---
racine="$tmp/racine"
dpkg -x "$deb" "$racine"
programmes="tarvenor tarvenor_admin tarvenor_demo tarvenor_import tarvenor_migrer"
for p in $programmes; do
    f=usr/bin/$p
    [ -x "$racine/$f" ] || echec "$f n'est pas installé"
    ! ldd "$racine/$f" | grep -q "not found" || echec "$f : bibliothèque introuvable"
done
for f in usr/share/applications/tarvenor.desktop \
    usr/share/icons/hicolor/scalable/apps/tarvenor.svg \
    usr/share/icons/hicolor/48x48/apps/tarvenor.png \
    usr/share/icons/hicolor/256x256/apps/tarvenor.png \
    usr/share/doc/tarvenor/copyright usr/share/doc/tarvenor/changelog.gz; do
    [ -s "$racine/$f" ] || echec "$f n'est pas installé"
done
cmp -s "$racine/usr/share/doc/tarvenor/copyright" "$sources/paquet/copyright" ||
    echec "copyright n'est pas celui du projet"
# Nothing of the build (tests, benchmarks, other tools) is shipped.
attendus=$(cd "$racine" && find . -type f | sort | grep -v '^./usr/share/icons/' | tr '\n' ' ')
prevus="./usr/bin/tarvenor ./usr/bin/tarvenor_admin ./usr/bin/tarvenor_demo ./usr/bin/tarvenor_import ./usr/bin/tarvenor_migrer ./usr/share/applications/tarvenor.desktop ./usr/share/doc/tarvenor/changelog.gz ./usr/share/doc/tarvenor/copyright "
for p in $programmes; do
    prevus="$prevus./usr/share/man/man1/$p.1.gz "
done
[ "$attendus" = "$prevus" ] || echec "fichiers inattendus : $attendus"

# --- The manual pages, as man shows them: no warning of the formatter, the
# French sections, the program's options ---
for p in $programmes; do
    page="$racine/usr/share/man/man1/$p.1.gz"
    texte=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$tmp/man.err") ||
        echec "man -l $p.1.gz a échoué"
    [ ! -s "$tmp/man.err" ] || { cat "$tmp/man.err"; echec "man -l $p.1.gz signale des défauts"; }
    for attendu in NOM SYNOPSIS DESCRIPTION OPTIONS "CODE DE RETOUR" "$p - " "--version"; do
        grep -qF -- "$attendu" <<<"$texte" || echec "la page de $p n'a pas « $attendu »"
    done
    aide=$("$racine/usr/bin/$p" --help) || echec "$p --help a échoué"
    grep -q "^Usage : $p " <<<"$aide" || echec "$p --help : $aide"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$racine/usr/share/applications/tarvenor.desktop" ||
        echec "entrée de bureau refusée par desktop-file-validate"
else
    echo "desktop-file-validate absent : entrée de bureau non vérifiée"
fi

# --- The installed tools ---
"$racine/usr/bin/tarvenor_demo" "$tmp/demo.mdb" >/dev/null || echec "tarvenor_demo a échoué"
[ "$(head -c 15 "$tmp/demo.mdb")" = "SQLite format 3" ] || echec "tarvenor_demo n'a pas fait de base SQLite"
if "$racine/usr/bin/tarvenor_demo" "$tmp/demo.mdb" 2>/dev/null; then
    echec "tarvenor_demo a accepté un fichier existant"
fi
"$racine/usr/bin/tarvenor_import" "$sources/tests/data/ccam_mini.csv" "$tmp/demo.mdb" \
    --references "$sources/tests/data/references_mini" >"$tmp/import.log" 2>&1 ||
    { cat "$tmp/import.log"; echec "tarvenor_import a échoué"; }

# --- The installed program on a fresh account ---
# No DATA folder beside /usr/bin/tarvenor: the demonstration database is made
# in the user's data folder, then the login dialog waits.
home="$tmp/home"
mkdir -p "$home"
base="$home/.local/share/Tarvenor/BD.mdb"
lancer() {
    env -i HOME="$home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 \
        "$racine/usr/bin/tarvenor" >>"$tmp/programme.log" 2>&1 &
    pid=$!
    for _ in $(seq 1 300); do
        [ -s "$base" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    sleep 2
    kill -0 "$pid" 2>/dev/null || { cat "$tmp/programme.log"; echec "le programme installé s'est arrêté"; }
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=""
}
lancer
[ "$(head -c 15 "$base" 2>/dev/null)" = "SQLite format 3" ] ||
    { cat "$tmp/programme.log"; echec "aucune base de démonstration dans $base"; }
empreinte=$(md5sum <"$base")
lancer
[ "$(md5sum <"$base")" = "$empreinte" ] || echec "le second démarrage a changé la base de démonstration"
[ "$(ls -A "$home/.local/share/Tarvenor")" = "BD.mdb" ] || echec "fichiers en trop : $(ls -A "$home/.local/share/Tarvenor")"
echo "Programme installé démarré deux fois : base de démonstration $base faite une fois, gardée ensuite"
