# For the end-to-end play-through (sourced, not run): a private X display, the
# real game started on it with a data folder of its own, waiting for debug-log lines, real input
# through the X server (xdotool) and screenshots.
#
# Callers set GAME (the program), DATA (its data folder) and WORK (a scratch folder) before
# e2e_start_display; SHOTS (a folder) before taking screenshots.

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# For the game in a sanitizer build: leaks of the system's D-Bus library (SDL opens it) are not
# reported, or every exit would be a failure.
E2E_LSAN_OPTIONS="suppressions=$E2E_DIR/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
E2E_XVFB_PID=""
E2E_WM_PID=""
GAME_PID=""
WID=""
LOG_MARK=0
SHOT_COUNT=0
# Window size and where the 800 by 600 picture sits in it (the game letterboxes).
WIN_W=800 WIN_H=600 WIN_SCALE=1 WIN_OX=0 WIN_OY=0

e2e_note() { echo "[$(date +%T)] $*"; }

e2e_fail() {
  echo "FAIL: $*" >&2
  [ -n "${E2E_FAILING:-}" ] && exit 1
  E2E_FAILING=1
  # The whole screen: a message box of the game is a window of its own.
  if [ -n "$WID" ] && [ -n "${SHOTS:-}" ] && e2e_alive; then
    SHOT_COUNT=$((SHOT_COUNT + 1))
    import -window root "$(printf '%s/%02d-failure.png' "$SHOTS" "$SHOT_COUNT")" 2>/dev/null || true
  fi
  if [ -f "$DATA/DEBUG.TXT" ]; then
    echo "--- last lines of the debug log:" >&2
    tail -n 15 "$DATA/DEBUG.TXT" | tr -d '\r' >&2
  fi
  if [ -f "$WORK/game-output.txt" ]; then
    echo "--- last lines of the game's output:" >&2
    tail -n 15 "$WORK/game-output.txt" >&2
  fi
  echo "data folder: $DATA${SHOTS:+; screenshots: $SHOTS}" >&2
  exit 1
}

# Ends a process this script started: TERM, then KILL if it is still there after SECONDS. With
# GROUP set, its whole process group goes (the game runs in a session of its own: a message box
# or a crash reporter it starts goes with it). SDL takes TERM as a request to quit, which a game
# waiting for its message box never reads.
e2e_stop() {
  local pid=$1 seconds=${2:-10} group=${3:-} target i
  [ -n "$pid" ] || return 0
  target=$pid
  [ -n "$group" ] && target=-$pid
  kill -TERM -- "$target" 2>/dev/null
  for i in $(seq $((seconds * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL -- "$target" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

e2e_cleanup() {
  e2e_stop "$GAME_PID" 10 group
  GAME_PID=""
  e2e_stop "$E2E_WM_PID" 5
  e2e_stop "$E2E_XVFB_PID" 5
  return 0
}

# Starts Xvfb on a free display number (the server picks it) and exports DISPLAY.
e2e_start_display() {
  local numberFile="$WORK/display" i
  : >"$numberFile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >"$WORK/xvfb.txt" 2>&1 &
  E2E_XVFB_PID=$!
  for i in $(seq 300); do
    if [ -s "$numberFile" ]; then
      export DISPLAY=":$(tr -dc '0-9' <"$numberFile")"
      return 0
    fi
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  e2e_fail "the virtual display did not start ($(cat "$WORK/xvfb.txt"))"
}

# Starts a window manager on the display (full screen and focus are the window manager's work on
# X11: without one, a full-screen window keeps its size). Waits until it manages windows.
e2e_start_window_manager() {
  local ready="$WORK/wm-ready" i
  rm -f "$ready"
  openbox --sm-disable --startup "touch $ready" >"$WORK/openbox.txt" 2>&1 &
  E2E_WM_PID=$!
  for i in $(seq 300); do
    [ -f "$ready" ] && return 0
    kill -0 "$E2E_WM_PID" 2>/dev/null || break
    sleep 0.1
  done
  e2e_fail "the window manager did not start ($(cat "$WORK/openbox.txt"))"
}

e2e_alive() { [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; }

# Starts the game on the display with the data folder; the arguments go to the game. The old
# debug log goes first, so that no line of an earlier run is taken for one of this run.
e2e_launch() {
  rm -f "$DATA/DEBUG.TXT"
  LOG_MARK=0
  WID=""
  # A session of its own (setsid runs the game in this process, so GAME_PID is the game's).
  LSAN_OPTIONS=$E2E_LSAN_OPTIONS QS_DATA_DIR=$DATA SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy setsid "$GAME" "$@" >>"$WORK/game-output.txt" 2>&1 &
  GAME_PID=$!
}

# Waits (at most SECONDS) for the game's window and remembers it in WID.
e2e_find_window() {
  local limit=$((SECONDS + ${1:-60})) id
  while [ $SECONDS -lt $limit ]; do
    e2e_alive || e2e_fail "the game ended before its window showed"
    id=$(xdotool search --onlyvisible --pid "$GAME_PID" --name 'Quorl Slide' 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      WID=$id
      e2e_geometry
      return 0
    fi
    sleep 0.2
  done
  e2e_fail "no game window after ${1:-60} s"
}

# Reads the window's size and works out where the logical screen lies in it.
e2e_geometry() {
  local WIDTH=800 HEIGHT=600
  eval "$(xdotool getwindowgeometry --shell "$WID" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
  WIN_W=$WIDTH WIN_H=$HEIGHT
  read -r WIN_SCALE WIN_OX WIN_OY < <(awk -v w="$WIN_W" -v h="$WIN_H" 'BEGIN {
      s = w / 800; if (h / 600 < s) s = h / 600
      printf "%f %f %f\n", s, (w - 800 * s) / 2, (h - 600 * s) / 2 }')
}

# Window pixel of a logical point: prints "X Y".
e2e_to_window() {
  awk -v x="$1" -v y="$2" -v s="$WIN_SCALE" -v ox="$WIN_OX" -v oy="$WIN_OY" \
    'BEGIN { printf "%d %d\n", ox + x * s + 0.5, oy + y * s + 0.5 }'
}

# The debug log without carriage returns.
e2e_log() { tr -d '\r' <"$DATA/DEBUG.TXT" 2>/dev/null; }

# Waits (at most SECONDS, default 60) for a debug-log line after the mark that matches the
# extended regex; keeps it in LOG_LINE and moves the mark past it. Fails when the game ends
# meanwhile, or returns 1 on the deadline when NOFAIL is set. (Not to be called inside $(...):
# a failure there would only end the subshell.)
LOG_LINE=""
e2e_wait_log() {
  local pattern=$1 limit=$((SECONDS + ${2:-60})) found
  while :; do
    found=$(e2e_log | awk -v m="$LOG_MARK" -v re="$pattern" 'NR > m && $0 ~ re { print NR ": " $0; exit }')
    if [ -n "$found" ]; then
      LOG_MARK=${found%%:*}
      LOG_LINE=${found#*: }
      return 0
    fi
    e2e_alive || e2e_fail "the game ended while waiting for '$pattern'"
    if [ $SECONDS -ge $limit ]; then
      [ -n "${NOFAIL:-}" ] && return 1
      e2e_fail "no debug-log line '$pattern' within ${2:-60} s"
    fi
    sleep 0.1
  done
}

# Moves the mark to the end of the log: later waits only see lines written from now on.
e2e_mark() { LOG_MARK=$(e2e_log | wc -l); }

# The last line of the whole log that matches the regex (empty when none).
e2e_last_line() { e2e_log | grep -E "$1" | tail -n 1; }

e2e_focus() { xdotool windowfocus --sync "$WID" >/dev/null 2>&1 || xdotool windowfocus "$WID" >/dev/null 2>&1 || true; }

# A left click at a logical point.
e2e_click() {
  local x y
  read -r x y < <(e2e_to_window "$1" "$2")
  xdotool mousemove --window "$WID" "$x" "$y" sleep 0.15 click 1 sleep 0.1
}

# A drag with the left button from one logical point to another, in small steps as a hand moves
# (one xdotool run: starting a process per step is slow on a busy machine).
e2e_drag() {
  local x0 y0 x1 y1 i steps=8 args=()
  read -r x0 y0 < <(e2e_to_window "$1" "$2")
  read -r x1 y1 < <(e2e_to_window "$3" "$4")
  args=(mousemove --window "$WID" "$x0" "$y0" sleep 0.05 mousedown 1 sleep 0.05)
  for i in $(seq "$steps"); do
    args+=(mousemove --window "$WID" $((x0 + (x1 - x0) * i / steps)) $((y0 + (y1 - y0) * i / steps)) sleep 0.02)
  done
  args+=(sleep 0.08 mouseup 1)
  xdotool "${args[@]}"
}

# Keys through the X server to the focused game window (xdotool key names).
e2e_key() {
  e2e_focus
  xdotool key --delay 60 "$@"
}

e2e_type() {
  e2e_focus
  xdotool type --delay 80 "$1"
}

# Saves the window as SHOTS/NN-NAME.png and keeps the file's name in SHOT.
SHOT=""
e2e_shot() {
  SHOT_COUNT=$((SHOT_COUNT + 1))
  SHOT=$(printf '%s/%02d-%s.png' "$SHOTS" "$SHOT_COUNT" "$1")
  # The picture on screen should be a whole frame: give the game a moment to present it.
  sleep 0.3
  import -window "$WID" "$SHOT" 2>/dev/null || import -window root "$SHOT" 2>/dev/null || e2e_fail "no screenshot $SHOT"
}

# Waits for the game to end by itself; fails unless it does so with status 0 within SECONDS.
e2e_wait_exit() {
  local limit=$((SECONDS + ${1:-60})) status
  while e2e_alive && [ $SECONDS -lt $limit ]; do sleep 0.2; done
  e2e_alive && e2e_fail "the game did not end within ${1:-60} s"
  wait "$GAME_PID"
  status=$?
  GAME_PID=""
  WID=""
  [ "$status" = 0 ] || e2e_fail "the game ended with status $status"
}

