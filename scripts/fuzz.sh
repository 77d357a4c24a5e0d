#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a
# while (default 25 seconds; first argument: seconds per target), starting
# from the seeds of fuzz/corpus/<target>. New inputs go to a temporary folder,
# never into the project. Prints the executions and the crashes of each target;
# fails when one crashed (the crashing input is kept in build-fuzz/fuzz/).
set -euo pipefail
cd "$(dirname "$0")/.."
secondes="${1:-25}"
scripts/installer.sh fuzz
lanceur=()
command -v ccache > /dev/null && lanceur=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTARVENOR_FUZZ=ON "${lanceur[@]}"
cibles=(fuzz_lecteur_csv fuzz_import_ccam fuzz_thesaurus)
cmake --build build-fuzz -j "$(nproc)" --target "${cibles[@]}"
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
echec=0
for cible in "${cibles[@]}"; do
    graines="fuzz/corpus/${cible#fuzz_}"
    mkdir -p "$corpus/$cible"
    journal="build-fuzz/fuzz/$cible.log"
    statut=0
    (cd build-fuzz/fuzz && "./$cible" -max_total_time="$secondes" -max_len=65536 \
        -rss_limit_mb=2048 -print_final_stats=1 "$corpus/$cible" "../../$graines") \
        > "$journal" 2>&1 || statut=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$journal" | tail -1)
    plantages=$(find build-fuzz/fuzz -maxdepth 1 -newer "$corpus" \
        \( -name 'crash-*' -o -name 'leak-*' -o -name 'oom-*' -o -name 'timeout-*' \) | wc -l)
    echo "$cible : ${executions:-?} exécutions en $secondes s, entrées fautives : $plantages"
    if [ "$statut" -ne 0 ]; then
        tail -40 "$journal"
        echec=1
    fi
done
exit "$echec"
