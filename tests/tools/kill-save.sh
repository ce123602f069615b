#!/usr/bin/env bash
# Kills the tool with SIGKILL at random moments while it loads one saved game and writes it over
# another; after each kill the file must be the old game or the new one, whole and loadable,
# never a mixture and never empty.
#   kill-save.sh TOOL KILLS [SEED]
set -uo pipefail
tool=$1 kills=$2
RANDOM=${3:-1}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$tool" autoplay --gauntlet --seed 1 --moves 20 --save "$dir/a.dat" >/dev/null || exit 1
"$tool" autoplay --level 2033 --seed 2 --moves 10 --save "$dir/b.dat" >/dev/null || exit 1
cp "$dir/a.dat" "$dir/game.dat"
old=0 new=0 bad=0
for ((i = 0; i < kills; i++)); do
    if cmp -s "$dir/game.dat" "$dir/a.dat"; then from=b was=a; else from=a was=b; fi
    "$tool" autoplay --resume "$dir/$from.dat" --moves 0 --save "$dir/game.dat" >/dev/null 2>&1 &
    pid=$!
    sleep "$(printf '0.%03d' $((RANDOM % 45)))"
    kill -KILL $pid 2>/dev/null
    wait $pid 2>/dev/null
    if cmp -s "$dir/game.dat" "$dir/$was.dat"; then
        old=$((old + 1))
    elif cmp -s "$dir/game.dat" "$dir/$from.dat"; then
        new=$((new + 1))
    else
        bad=$((bad + 1))
        echo "kill $i: the saved game is neither the old one nor the new one ($(stat -c %s "$dir/game.dat") bytes)"
        cp "$dir/$was.dat" "$dir/game.dat"
        continue
    fi
    "$tool" dump "$dir/game.dat" >/dev/null || { bad=$((bad + 1)); echo "kill $i: the saved game does not load"; }
    # A write cut off leaves its temporary file behind; it never takes the saved game's place, and
    # the next whole write clears it away.
    for t in "$dir"/game.dat.tmp*; do [ -e "$t" ] && echo "${t##*/}" >>"$dir/cut-off"; done
done
"$tool" autoplay --resume "$dir/a.dat" --moves 0 --save "$dir/game.dat" >/dev/null || bad=$((bad + 1))
left=$(find "$dir" -name 'game.dat.tmp*' | wc -l)
temps=$(sort -u "$dir/cut-off" 2>/dev/null | wc -l)
echo "kills $kills: old game $old, new game $new, damaged $bad; cut-off writes seen $temps, left after the next write $left"
[ $bad = 0 ] && [ $left = 0 ]
