#!/usr/bin/env bash
# Save, load and save again, for COUNT seeds of each kind of game: the Gauntlet, single journey
# levels and journeys walked on their maps. The two saves must be the same bytes; a resumed
# Gauntlet or level under way must play on to the uninterrupted run's score and update steps.
#   round-trip.sh TOOL COUNT
set -uo pipefail
tool=$1 count=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
field() { sed -n "s/.*\"$1\":\([a-z0-9-]*\).*/\1/p" <<<"$2"; }
levels=(1000 1003 2033 3005 4010 5012 6007 7020 8000 9001)
same=0 differ=0 played=0 diverged=0 unsaved=0
for ((i = 1; i <= count; i++)); do
    before=$(( (i * 7) % 60 + 1 )) after=$(( (i * 13) % 50 + 10 ))
    for kind in gauntlet level journey; do
        case $kind in
            gauntlet) mode=(--gauntlet) ;;
            level) mode=(--level "${levels[i % ${#levels[@]}]}") ;;
            journey) mode=(--journey) ;;
        esac
        first=$("$tool" autoplay "${mode[@]}" --seed $i --moves $before --save "$dir/a.dat")
        if [ "$(field saved "$first")" != true ]; then unsaved=$((unsaved + 1)); continue; fi
        "$tool" autoplay --resume "$dir/a.dat" --moves 0 --save "$dir/b.dat" >/dev/null
        if cmp -s "$dir/a.dat" "$dir/b.dat"; then same=$((same + 1)); else differ=$((differ + 1)); echo "differ: $kind seed $i"; fi
        # A journey, or a level that already ended (lost: saved back on its map), goes on as a
        # journey with levels dealt anew; only a level or a Gauntlet under way is compared.
        [ $kind = journey ] && continue
        [ "$(field game_over "$first")" = true ] || [ "$(field cleared "$first")" = true ] && continue
        resumed=$("$tool" autoplay --resume "$dir/a.dat" --moves $after)
        whole=$("$tool" autoplay "${mode[@]}" --seed $i --moves $(( $(field moves "$first") + after )))
        played=$((played + 1))
        if [ "$(field score "$resumed")" != "$(field score "$whole")" ] ||
           [ $(( $(field updates "$first") + $(field updates "$resumed") )) != "$(field updates "$whole")" ]; then
            diverged=$((diverged + 1))
            echo "diverged: $kind seed $i: $resumed / $whole"
        fi
    done
done
echo "round trips: $same same bytes, $differ different; played on: $played, diverged $diverged; finished (not saved): $unsaved"
[ $differ = 0 ] && [ $diverged = 0 ]
