#!/usr/bin/env bash
# The tool's saved-game commands end to end: save, load and save again give the same bytes; a
# resumed run plays on to the uninterrupted run's result; dump describes both modes and the
# statistics; a refused file gives status 1, one line on standard error, and stays as it was.
#   saved-games.sh TOOL
set -uo pipefail
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
field() { sed -n "s/.*\"$1\":\([a-z0-9-]*\).*/\1/p" <<<"$2"; }

# Round trip and play on, both modes.
for run in "--gauntlet --seed 2 25 30" "--gauntlet --seed 9 3 12" "--level 2033 --seed 4 6 1000" "--level 1000 --seed 3 15 1000"; do
    read -r -a words <<<"$run"
    mode=("${words[@]:0:${#words[@]}-2}")
    before=${words[-2]} after=${words[-1]}
    first=$("$tool" autoplay "${mode[@]}" --moves "$before" --save "$dir/a.dat") || fail "$run: save"
    "$tool" autoplay --resume "$dir/a.dat" --moves 0 --save "$dir/b.dat" >/dev/null || fail "$run: resume and save"
    cmp -s "$dir/a.dat" "$dir/b.dat" || fail "$run: save, load, save differ"
    resumed=$("$tool" autoplay --resume "$dir/a.dat" --moves "$after")
    whole=$("$tool" autoplay "${mode[@]}" --moves $(( $(field moves "$first") + after )))
    for key in score dullbones_broken cleared game_over; do
        [ "$(field $key "$resumed")" = "$(field $key "$whole")" ] || fail "$run: $key $resumed vs $whole"
    done
    [ $(( $(field moves "$first") + $(field moves "$resumed") )) = "$(field moves "$whole")" ] || fail "$run: moves"
    [ $(( $(field updates "$first") + $(field updates "$resumed") )) = "$(field updates "$whole")" ] || fail "$run: updates"
done

# A journey walked on its map: saved mid-journey, read and saved again to the same bytes.
"$tool" autoplay --journey --seed 2 --moves 30 --save "$dir/walk.dat" | grep -qF '"saved":true' || fail "journey save"
"$tool" autoplay --resume "$dir/walk.dat" --moves 0 --save "$dir/walk2.dat" | grep -qF '"levels_won":0' || fail "journey resume"
cmp -s "$dir/walk.dat" "$dir/walk2.dat" || fail "journey: save, load, save differ"
"$tool" dump "$dir/walk.dat" | grep -qF '"map":{"idol":' || fail "journey dump lacks its map"

# Dump: both modes and the statistics record.
"$tool" autoplay --gauntlet --seed 1 --moves 5 --save "$dir/g.dat" >/dev/null
"$tool" autoplay --level 3005 --seed 1 --moves 5 --save "$dir/j.dat" >/dev/null
[ "$(head -c1 "$dir/g.dat" | od -An -tx1 | tr -d ' ')" = 01 ] || fail "a Gauntlet file starts with 01"
g=$("$tool" dump "$dir/g.dat") && j=$("$tool" dump "$dir/j.dat") || fail "dump"
for part in '"mode":"gauntlet"' '"score":' '"second_chances":0' '"multipliers":[0,0,0,0,0]' '"freeform":true' '"level_id":1006'; do
    grep -qF "$part" <<<"$g" || fail "gauntlet dump lacks $part"
done
for part in '"mode":"journey"' '"level_id":3005' '"code":"TS' '"layout":"[' '"pieces":' '"freeform":false'; do
    grep -qF "$part" <<<"$j" || fail "journey dump lacks $part"
done
printf '\0\0\0\0%.0s' $(seq 24) >"$dir/GameData.dat"
s=$("$tool" dump "$dir/GameData.dat") || fail "dump statistics"
grep -qF '"file":"statistics"' <<<"$s" || fail "statistics dump: $s"

# Refused files: truncated, flipped, oversized, empty; never changed, status 1, one line.
head -c 1000 "$dir/g.dat" >"$dir/cut.dat"
cp "$dir/j.dat" "$dir/flip.dat"
printf '\x07' | dd of="$dir/flip.dat" bs=1 seek=14 conv=notrunc status=none
{ cat "$dir/g.dat"; head -c 5000000 /dev/zero; } >"$dir/big.dat"
: >"$dir/empty.dat"
for bad in cut flip big empty missing; do
    sum=$( { cksum <"$dir/$bad.dat"; } 2>/dev/null)
    for command in "dump $dir/$bad.dat" "autoplay --resume $dir/$bad.dat --moves 1"; do
        $tool $command >"$dir/out" 2>"$dir/err"
        status=$?
        [ $status = 1 ] || fail "$command: status $status"
        [ "$(wc -l <"$dir/err")" = 1 ] || fail "$command: standard error: $(cat "$dir/err")"
        [ -s "$dir/out" ] && fail "$command: printed $(cat "$dir/out")"
    done
    [ "$( { cksum <"$dir/$bad.dat"; } 2>/dev/null)" = "$sum" ] || fail "$bad was changed"
done

[ $failures = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "saved games: all checks passed"
