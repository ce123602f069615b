#!/usr/bin/env bash
# The whole game played through its real window, as a player would, with input through the X server:
# first start and a new profile, title, main menu, a new journey with its tutorial, the first level
# won by dragging lines, a treasure, the quick menu, leaving and quitting; a second start that
# continues the journey on the same map with the same score, the options (volume, full screen on
# and off), a Gauntlet played until the game is over, the name entry, the pages of the scores
# screen and the exit. Every step leaves a screenshot. The second start runs with --record; its
# recording, replayed headless twice on a copy of the data folder it started from, must print the
# live run's "state" line and write the same Gauntlet table.
#
#   playthrough.sh --game PROGRAM --tool TOOL --shots FOLDER [--keep]
#
# It reads what the game writes: the data folder's files, the debug log ("screen N name", "modal
# NAME", "fade done", and with --log-targets the "move", "map" and "continue" lines that say where
# to drag and click), and the saved games through "quorlslide-tool dump". The Gauntlet ends
# quickly through the game's own speed keys (Ctrl+Alt+Q, then numeric-pad /). Exit status 77
# (skipped) when Xvfb, openbox, xdotool or ImageMagick is missing.
set -uo pipefail

GAME="" TOOL="" SHOTS="" KEEP=""
while [ $# -gt 0 ]; do
  case $1 in
    --game) GAME=$2; shift 2 ;;
    --tool) TOOL=$2; shift 2 ;;
    --shots) SHOTS=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    *) echo "usage: $0 --game PROGRAM --tool TOOL --shots FOLDER [--keep]" >&2; exit 2 ;;
  esac
done
[ -x "$GAME" ] && [ -x "$TOOL" ] && [ -n "$SHOTS" ] || { echo "usage: $0 --game PROGRAM --tool TOOL --shots FOLDER" >&2; exit 2; }
GAME=$(realpath "$GAME") TOOL=$(realpath "$TOOL")
for tool in Xvfb openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/deps.sh installs it)"; exit 77; }
done

source "$(dirname "$0")/lib.sh"

WORK=$(mktemp -d /tmp/qs-e2e.XXXXXX)
DATA=$WORK/data
mkdir -p "$DATA"
rm -rf "$SHOTS"
mkdir -p "$SHOTS"
finish() {
  local status=$?
  e2e_cleanup
  if [ "$status" = 0 ] && [ -z "$KEEP" ]; then rm -rf "$WORK"; else echo "work folder kept: $WORK"; fi
}
trap finish EXIT

PROFILE=Tess
SEED=5
USER_DIR=$DATA/USERS/$PROFILE
JOURNEY_SAVE=$USER_DIR/SAVEGAME_JOURNEY.DAT
GAUNTLET_SAVE=$USER_DIR/SAVEGAME_GAUNTLET.DAT
START=$SECONDS

step() { e2e_note "$*"; }
# Fails unless the file exists.
need_file() { [ -f "$1" ] || e2e_fail "missing $1${2:+ ($2)}"; }
# The value of KEY in game.cfg.
config() { tr -d '\r' <"$DATA/game.cfg" | sed -n "s/^$1=//p" | tail -n 1; }
# A JSON field of a one-line dump (numbers, booleans, or a whole object for "map").
json_field() {
  if [ "$2" = map ]; then sed -n 's/.*"map":\({[^}]*}\).*/\1/p' <<<"$1"; else sed -n "s/.*\"$2\":\\([^,}]*\\).*/\\1/p" <<<"$1"; fi
}
# Waits for the end of the fade that follows a screen switch: clicks before it reach no screen.
settle() { e2e_wait_log "^fade done" 60; }

# A click at X Y that should bring the log line PATTERN. A click the game never saw (the X
# server or the window manager can drop one while a window maps or changes size) is made once
# more after 15 s: until the line comes, the screen under the pointer is still the same one.
press() {
  local x=$1 y=$2 pattern=$3 seconds=${4:-60}
  e2e_click "$x" "$y"
  NOFAIL=1 e2e_wait_log "$pattern" 15 && return 0
  e2e_note "no '$pattern' after a click at $x,$y: clicking once more"
  e2e_click "$x" "$y"
  e2e_wait_log "$pattern" "$seconds"
}

# The map as the log last described it after line FROM ("map level X Y treasure X Y ..."): waits
# for a first description, then for the map to stay the same for a second (it may still scroll).
MAP_LINE=""
map_now() {
  local from=$1 limit=$((SECONDS + 60)) found last=""
  while :; do
    found=$(latest_after "$from" '^map( |$)')
    if [ -n "$found" ] && [ "$found" = "$last" ]; then
      MAP_LINE=${found#*: }
      return 0
    fi
    last=$found
    e2e_alive || e2e_fail "the game ended while waiting for the map"
    [ $SECONDS -lt $limit ] || e2e_fail "the map was not described within 60 s"
    sleep 1
  done
}

# ---- playing a level by its logged moves -----------------------------------------------------------

# The last line after line FROM matching the regex, as "NR: line" (empty when none).
latest_after() { e2e_log | awk -v m="$1" -v re="$2" 'NR > m && $0 ~ re { last = NR ": " $0 } END { if (last) print last }'; }

# Drags the logged moves until the board says the level is cleared ("continue X Y"), the game
# ends (a modal) or MAX moves are made. Sets LEVEL_END to the line that ended it. From FROM (a
# line number) on, the log is read. Gives up when the board stays silent for long.
LEVEL_END=""
MOVES_MADE=0
FAST=""
play_moves() {
  local from=$1 max=$2 stop_re=${3:-'^(continue|modal )'} used=0 quiet_since=$SECONDS tries=0 found n line
  MOVES_MADE=0
  LEVEL_END=""
  while :; do
    found=$(latest_after "$from" "$stop_re")
    if [ -n "$found" ]; then
      LEVEL_END=${found#*: }
      LOG_MARK=${found%%:*}
      return 0
    fi
    [ "$MOVES_MADE" -ge "$max" ] && return 0
    found=$(latest_after "$from" '^move ')
    n=${found%%:*}
    if [ -n "$found" ] && [ "$n" -gt "$used" ]; then
      line=${found#*: }
      read -r _ x0 y0 x1 y1 <<<"$line"
      e2e_drag "$x0" "$y0" "$x1" "$y1"
      used=$n
      MOVES_MADE=$((MOVES_MADE + 1))
      quiet_since=$SECONDS
      tries=0
      if [ "$MOVES_MADE" = 1 ]; then
        e2e_shot "$LEVEL_NAME-first-move"
        # From here on at three times the speed: the board's animations take most of the time.
        [ -n "$FAST" ] && e2e_key ctrl+alt+q KP_Divide KP_Divide
      fi
    elif [ $((SECONDS - quiet_since)) -ge 20 ]; then
      # No new move line: the drag was refused (the board was not ready) or went astray. Try the
      # last move again, a few times.
      tries=$((tries + 1))
      [ "$tries" -le 3 ] || e2e_fail "the board offered no new move for a minute after $MOVES_MADE moves"
      [ -n "$found" ] || e2e_fail "the board never offered a move"
      read -r _ x0 y0 x1 y1 <<<"${found#*: }"
      e2e_drag "$x0" "$y0" "$x1" "$y1"
      quiet_since=$SECONDS
    fi
    e2e_alive || e2e_fail "the game ended during play"
    sleep 0.2
  done
}

# ==== first start ====================================================================================

e2e_start_display
e2e_start_window_manager
step "first start (display $DISPLAY, data folder $DATA, screenshots $SHOTS)"
e2e_launch --seed "$SEED" --log-targets
e2e_find_window 90
e2e_wait_log "^modal ProfileScreen$" 120
e2e_shot first-start-profile
[ -d "$DATA/USERS" ] && [ -n "$(ls -A "$DATA/USERS")" ] && e2e_fail "a profile exists before one was made"

step "create the profile $PROFILE"
e2e_type "$PROFILE"
e2e_shot profile-typed
e2e_key Return
e2e_wait_log "^modal ProfileScreen ended$"
[ "$(config CurrentProfile)" = "$PROFILE" ] || e2e_fail "game.cfg does not name $PROFILE as the current profile"
[ -d "$USER_DIR" ] || e2e_fail "no profile folder $USER_DIR"

step "title screen, then the main menu"
e2e_shot title
press 400 452 "^screen 0 MainMenu$"
settle
e2e_shot main-menu

step "new journey: mode picker, tutorial, map"
press 400 297 "^modal ModePicker$"
e2e_shot mode-picker
press 400 321 "^modal TutorialScreen$"
# The tutorial's board plays itself: let it show a move.
sleep 2
e2e_shot tutorial
press 642 547 "^screen 1 GameSession$"
MAP_FROM=$LOG_MARK
settle
map_now "$MAP_FROM"
e2e_shot journey-map
read -r _ kind x y _ <<<"$MAP_LINE"
[ "$kind" = level ] || e2e_fail "the new map offers no level to play ($MAP_LINE)"

step "play the first level"
press "$x" "$y" "^screen 3 BoardContainer$"
LEVEL_FROM=$LOG_MARK
settle
e2e_shot level-1
LEVEL_NAME=level-1
FAST=1
play_moves "$LEVEL_FROM" 150
FAST=""
# Normal speed, cheats off.
e2e_key KP_Multiply ctrl+alt+q
case $LEVEL_END in
  continue*) ;;
  *) e2e_fail "the first level was not won in $MOVES_MADE moves (${LEVEL_END:-no end})" ;;
esac
step "level won in $MOVES_MADE moves"
e2e_shot level-1-cleared
read -r _ x y <<<"$LEVEL_END"
press "$x" "$y" "^screen 4 Maze$"
MAP_FROM=$LOG_MARK
settle
map_now "$MAP_FROM"
e2e_shot map-after-win
need_file "$USER_DIR/GameData.dat" "the statistics are written when a level ends"

if grep -q " treasure " <<<"$MAP_LINE"; then
  read -r x y < <(sed 's/.* treasure \([0-9]*\) \([0-9]*\).*/\1 \2/' <<<"$MAP_LINE")
  step "take the treasure at $x,$y"
  MAP_FROM=$(e2e_log | wc -l)
  press "$x" "$y" "^map( |$)" 30
  map_now "$MAP_FROM"
  grep -q " treasure $x $y" <<<"$MAP_LINE" && e2e_fail "the treasure is still offered after it was taken"
  sleep 1
  e2e_shot treasure-taken
else
  step "no treasure is open after the first level ($MAP_LINE)"
fi

step "quick menu, leave to the main menu"
press 700 36 "^modal QuickMenu$"
e2e_shot quick-menu
press 400 401 "^screen 0 MainMenu$"
settle
e2e_shot main-menu-after-leaving
need_file "$JOURNEY_SAVE" "leaving a journey saves it"
DUMP1=$("$TOOL" dump "$JOURNEY_SAVE") || e2e_fail "the saved journey is refused by the tool"
SCORE1=$(json_field "$DUMP1" score)
[ "${SCORE1:-0}" -gt 0 ] || e2e_fail "the saved journey has no score ($DUMP1)"
MAP1=$(json_field "$DUMP1" map)
grep -q '"done":[1-9]' <<<"$MAP1" || e2e_fail "the saved map has no node done ($MAP1)"
step "saved journey: score $SCORE1, map $MAP1"

step "quit from the main menu"
e2e_click 720 520
e2e_wait_exit 60
need_file "$JOURNEY_SAVE" "quitting keeps the saved journey"

# ==== second start ===================================================================================

step "start again, recording the input"
# The data folder as this run finds it: the recording is replayed on a copy of it at the end.
cp -a "$DATA" "$WORK/data-before-second-start"
rm -f "$WORK/data-before-second-start/DEBUG.TXT"
e2e_launch --seed "$((SEED + 1))" --log-targets --record "$WORK/second-start.replay"
e2e_find_window 90
e2e_wait_log "^loading done" 120
# The profile is known: no profile screen, the title's play button follows loading.
sleep 1
e2e_log | grep -q "^modal ProfileScreen" && e2e_fail "the profile screen came back on the second start"
e2e_shot title-again
press 400 452 "^screen 0 MainMenu$"
settle

step "continue the journey"
press 400 362 "^modal ModePicker$"
press 400 321 "^screen 6 GameSession$"
MAP_BEFORE=$MAP_LINE
MAP_FROM=$LOG_MARK
settle
map_now "$MAP_FROM"
e2e_shot journey-continued
[ "$MAP_LINE" = "$MAP_BEFORE" ] || e2e_fail "the continued map offers other nodes: '$MAP_LINE', before '$MAP_BEFORE'"

step "options from the quick menu (opened with Escape): volume, full screen on and off"
e2e_key Escape
e2e_wait_log "^modal QuickMenu$" 30
press 400 336 "^modal OptionsDialog$"
e2e_shot options
# A press on the groove puts the thumb there; then the thumb is dragged a little further.
e2e_click 400 272
e2e_drag 400 272 430 272
e2e_shot options-volume
e2e_click 304 328
limit=$((SECONDS + 30))
until e2e_geometry && [ "$WIN_W" -gt 800 ]; do
  [ $SECONDS -lt $limit ] || e2e_fail "the window did not go full screen (still ${WIN_W}x$WIN_H)"
  sleep 0.2
done
sleep 1
e2e_geometry
[ "$(config Fullscreen)" = true ] || e2e_fail "game.cfg does not say Fullscreen=true after full screen on"
e2e_shot options-fullscreen
step "full screen: ${WIN_W}x$WIN_H, the 800x600 screen scaled by $WIN_SCALE"
e2e_click 304 356
limit=$((SECONDS + 30))
until e2e_geometry && [ "$WIN_W" = 800 ] && [ "$WIN_H" = 600 ]; do
  [ $SECONDS -lt $limit ] || e2e_fail "the window did not come back from full screen (${WIN_W}x$WIN_H)"
  sleep 0.2
done
sleep 1
[ "$(config Fullscreen)" = false ] || e2e_fail "game.cfg does not say Fullscreen=false after full screen off"
e2e_shot options-windowed
press 399 505 "^modal OptionsDialog ended$"
VOLUME=$(config Volume)
# Whole percent: the groove's middle and a little further right.
[ -n "$VOLUME" ] && [ "$VOLUME" -gt 20 ] && [ "$VOLUME" -lt 50 ] || e2e_fail "game.cfg holds Volume=$VOLUME, not the one chosen (about 36)"
step "volume $VOLUME % kept in game.cfg"

step "leave the continued journey: the same map and score are saved"
press 400 401 "^screen 0 MainMenu$"
settle
DUMP2=$("$TOOL" dump "$JOURNEY_SAVE") || e2e_fail "the saved journey is refused by the tool after continuing"
[ "$(json_field "$DUMP2" score)" = "$SCORE1" ] || e2e_fail "the score changed from $SCORE1 to $(json_field "$DUMP2" score)"
[ "$(json_field "$DUMP2" map)" = "$MAP1" ] || e2e_fail "the map changed: $(json_field "$DUMP2" map), before $MAP1"

# ==== Gauntlet =======================================================================================

step "new Gauntlet"
press 400 297 "^modal ModePicker$"
press 400 386 "^modal TutorialScreen$"
press 642 547 "^screen 2 GauntletSession$"
LEVEL_FROM=$LOG_MARK
settle
e2e_shot gauntlet
LEVEL_NAME=gauntlet
play_moves "$LEVEL_FROM" 3
[ "$MOVES_MADE" = 3 ] || e2e_fail "the Gauntlet ended after $MOVES_MADE moves"
sleep 2
e2e_shot gauntlet-scored

step "speed the game up (Ctrl+Alt+Q, numeric-pad /) and let the danger meter fill the board"
e2e_key ctrl+alt+q
for i in $(seq 40); do e2e_key KP_Divide; done
e2e_shot gauntlet-fast
# Each drag that goes nowhere ends a turn: once no move is left, the game is over.
deadline=$((SECONDS + 240))
shots=0
while :; do
  e2e_mark
  e2e_drag 300 300 360 300
  e2e_drag 360 300 300 300
  if NOFAIL=1 e2e_wait_log "^modal NameEntryDialog$" 4; then break; fi
  [ $SECONDS -lt $deadline ] || e2e_fail "the Gauntlet was not over after 4 minutes at full speed"
  if [ $shots = 0 ] && [ $((deadline - SECONDS)) -lt 225 ]; then e2e_shot gauntlet-filling; shots=1; fi
done

step "game over: the name entry"
e2e_shot name-entry
e2e_type "Zed"
e2e_key Return
e2e_wait_log "^modal NameEntryDialog ended$"
# Back to normal speed, cheats off (not before: the numeric pad's * would be typed into the name).
e2e_key KP_Multiply ctrl+alt+q
e2e_wait_log "^screen 7 ScoresScreen$" 60
settle
e2e_shot scores-page-1
need_file "$DATA/Gauntlet-Scores.dat" "the score table is written when a name is entered"
tr -d '\r' <"$DATA/Gauntlet-Scores.dat" | grep -qx "NAME0=Zed" || e2e_fail "the Gauntlet table does not start with the name Zed: $(head -n 2 "$DATA/Gauntlet-Scores.dat" | tr '\n' ' ')"
[ -f "$GAUNTLET_SAVE" ] && e2e_fail "a finished Gauntlet left its saved game"

step "scores screen pages"
# Each turn ends with "page NAME" in the log once the page stands still.
turn() {
  press "$1" "$2" "^page $3$" 30
  e2e_shot "scores-page-$3"
}
turn 645 549 Idols
turn 645 549 Stats
turn 645 549 Scores
turn 155 549 Stats
# The keys turn the pages too.
e2e_key Right
e2e_wait_log "^page Scores$" 30
e2e_shot scores-page-by-key

step "main menu, exit"
press 400 551 "^screen 0 MainMenu$"
settle
e2e_shot main-menu-end
e2e_click 720 520
e2e_wait_exit 60

# ==== what is left behind ============================================================================

need_file "$JOURNEY_SAVE" "the journey was left, not finished"
[ -d "$DATA/CrashReports" ] && e2e_fail "crash reports were written: $(ls "$DATA/CrashReports")"
if grep -Eiq "sanitizer|runtime error|assert" "$WORK/game-output.txt"; then
  e2e_fail "the game's output has faults: $(grep -Ei "sanitizer|runtime error|assert" "$WORK/game-output.txt" | head -n 3)"
fi

step "replay the second start's recording headless, twice: the same state as the live run"
LIVE_STATE=$(grep -E '^state [0-9a-f]+$' "$WORK/game-output.txt" | tail -n 1)
[ -n "$LIVE_STATE" ] || e2e_fail "the recorded run printed no state line at exit"
need_file "$WORK/second-start.replay" "--record writes its file when the game quits"
for i in 1 2; do
  replayed=$WORK/replay-$i
  rm -rf "$replayed"
  cp -a "$WORK/data-before-second-start" "$replayed"
  state=$(cd "$WORK" && LSAN_OPTIONS=$E2E_LSAN_OPTIONS timeout -k 5 120 "$GAME" --replay "$WORK/second-start.replay" --headless --userdir "$replayed" 2>>"$WORK/replay-output.txt" |
          grep -E '^state [0-9a-f]+$' | tail -n 1)
  [ "$state" = "$LIVE_STATE" ] || e2e_fail "replay $i printed '${state:-nothing}', the live run '$LIVE_STATE'"
  cmp -s "$replayed/Gauntlet-Scores.dat" "$DATA/Gauntlet-Scores.dat" || e2e_fail "replay $i wrote another Gauntlet table"
  [ "$("$TOOL" dump "$replayed/USERS/$PROFILE/SAVEGAME_JOURNEY.DAT")" = "$DUMP2" ] ||
    e2e_fail "replay $i saved another journey: $("$TOOL" dump "$replayed/USERS/$PROFILE/SAVEGAME_JOURNEY.DAT")"
done
step "live run and both replays: $LIVE_STATE"
step "passed in $((SECONDS - START)) s; $SHOT_COUNT screenshots in $SHOTS"
