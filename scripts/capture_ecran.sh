#!/usr/bin/env bash
# Makes the README's screenshot, docs/capture-medecin.png: the program on a
# fresh demonstration database, logged in as MARTIN (a doctor), on a virtual
# screen (Xvfb), driven with xdotool and captured with ImageMagick's import.
#   scripts/capture_ecran.sh [FICHIER.png]
set -euo pipefail
cd "$(dirname "$0")/.."
sortie=${1:-docs/capture-medecin.png}
scripts/installer.sh
manquants=()
command -v xdotool >/dev/null || manquants+=(xdotool)
command -v import >/dev/null || manquants+=(imagemagick)
if [ ${#manquants[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${manquants[@]}"
fi
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tarvenor tarvenor_demo

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
build/tarvenor_demo "$tmp/BD.mdb" >/dev/null
cat >"$tmp/scenario.sh" <<SCENARIO
set -euo pipefail
HOME="$tmp/home" LANG=fr_FR.UTF-8 build/tarvenor &
programme=\$!
trap 'kill \$programme 2>/dev/null || true' EXIT
# The login dialog: identifier, password, then the database field.
connexion=""
for _ in \$(seq 1 100); do
    connexion=\$(xdotool search --name '^Connexion\$' 2>/dev/null | head -n 1) && [ -n "\$connexion" ] && break
    sleep 0.2
done
[ -n "\$connexion" ] || { echo "Le dialogue de connexion n'est pas apparu." >&2; exit 1; }
sleep 0.5
xdotool windowfocus --sync "\$connexion"
xdotool type --delay 20 'MARTIN'
xdotool key Tab
xdotool type --delay 20 'MARTIN'
xdotool key Tab ctrl+a
xdotool type --delay 5 '$tmp/BD.mdb'
xdotool key Return
sleep 3
# The main window over the whole virtual screen; in the doctor's thesaurus,
# a click on "À classer" (the tree's second row), then the keyboard goes
# down to XHMA001, whose details show.
principale=\$(xdotool search --onlyvisible --name 'Tarvenor$' | head -n 1)
xdotool windowmove "\$principale" 0 0 windowsize "\$principale" 1280 800
sleep 1
xdotool windowfocus --sync "\$principale"
xdotool mousemove --window "\$principale" 120 142 click 1
sleep 0.5
xdotool key --delay 150 Down Down Down Down Down Down Down
sleep 1.5
import -window root "$tmp/capture.png"
SCENARIO
xvfb-run -a -s "-screen 0 1280x800x24" bash "$tmp/scenario.sh"
convert "$tmp/capture.png" -strip "$sortie"
echo "$sortie"
