#!/usr/bin/env bash
# Every switch that "quorlslide --help" lists has an entry in the manual page's OPTIONS, and the
# manual lists no switch the game does not.
#   help-vs-manual.sh GAME MANUAL_PAGE
set -uo pipefail
game=$1
manual=$2
help=$("$game" --help) || { echo "FAIL: --help exited with $?"; exit 1; }
# The help's switches: the first word of each indented line.
from_help=$(printf '%s\n' "$help" | awk '/^  -/ {print $1}' | sort)
# The manual's: the entries (.B or .BI) of OPTIONS, with roff's "\-" made plain.
from_manual=$(awk '/^\.SH OPTIONS/ {on=1; next} /^\.SH/ {on=0} on && prev == ".TP" {print $2} {prev=$1}' "$manual" |
              sed 's/\\-/-/g; s/"//g' | sort)
if [ -z "$from_help" ]; then echo "FAIL: no switches in --help"; exit 1; fi
if [ "$from_help" != "$from_manual" ]; then
  echo "FAIL: --help and the manual page list different switches"
  diff <(echo "$from_help") <(echo "$from_manual") | sed 's/^</  only in --help:/; s/^>/  only in the manual:/'
  exit 1
fi
# One line per switch: no continuation lines.
if printf '%s\n' "$help" | grep -q '^    '; then echo "FAIL: a switch in --help takes more than one line"; exit 1; fi
echo "help and manual: $(echo "$from_help" | wc -l) switches, the same in both"
