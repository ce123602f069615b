# Shared by the scripts/measure-* scripts (sourced, not run): a private X display, a fresh data
# folder, the game started in it, waiting for debug-log lines, and the figures read from /proc.
#
# Environment:
#   QS_GAME          the game program (default build/quorlslide)
#   QS_RESOURCE_DIR  the resources, when they do not lie beside QS_GAME (default: build/)
#   QS_KEEP          keep the data folders of the runs (printed) instead of deleting them
#   QS_FIRST_START   start as on a first start, without a player profile (the game then asks
#                    for one); by default the data folder holds the profile "Measure"
#   QS_NICE          niceness of the game and the display (default -20 when run as root), so
#                    builds running beside them do not starve them and skew the figures

set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
TOP=$PWD
GAME=${QS_GAME:-$TOP/build/quorlslide}
if [ -z "${QS_RESOURCE_DIR:-}" ] && [ ! -d "$(dirname "$GAME")/Graphics" ]; then
  export QS_RESOURCE_DIR=$TOP/build
fi
TICKS=$(getconf CLK_TCK)
NICE=${QS_NICE:-$([ "$(id -u)" = 0 ] && echo -20 || echo 0)}
MEASURE_TMP=$(mktemp -d /tmp/qs-measure.XXXXXX)
XVFB_PID=""
GAME_PID=""

measure_cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null && wait "$GAME_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true
  if [ -n "${QS_KEEP:-}" ]; then echo "runs kept in $MEASURE_TMP" >&2; else rm -rf "$MEASURE_TMP"; fi
}
trap measure_cleanup EXIT

# Installs the Debian packages given (as "command:package") when their command is missing.
need_tools() {
  local missing=() pair
  for pair in "$@"; do
    command -v "${pair%%:*}" >/dev/null 2>&1 || missing+=("${pair#*:}")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" != 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Starts a private virtual display of 1024x768x24 and exports DISPLAY.
start_display() {
  need_tools Xvfb:xvfb xauth:xauth
  [ -x "$GAME" ] || { echo "no game program at $GAME (build it first: cmake --build build)" >&2; exit 1; }
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    nice -n "$NICE" Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  done
  echo "no virtual display could be started" >&2
  exit 1
}

# A fresh data folder with an 800x600 window and one player profile; prints its path.
# Arguments: a name.
fresh_data() {
  local dir="$MEASURE_TMP/$1"
  mkdir -p "$dir"
  printf 'Width=800\r\nHeight=600\r\nFullscreen=0\r\n' >"$dir/game.cfg"
  if [ -z "${QS_FIRST_START:-}" ]; then
    printf 'Profiles=Measure\r\nCurrentProfile=Measure\r\n' >>"$dir/game.cfg"
    mkdir -p "$dir/USERS/Measure"
  fi
  echo "$dir"
}

# Starts the game on the display with a data folder; sets GAME_PID and GAME_START (ns).
# Arguments: data folder, then the game's arguments.
launch_game() {
  local data=$1
  shift
  GAME_START=$(date +%s%N)
  QS_DATA_DIR=$data SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} nice -n "$NICE" "$GAME" "$@" >"$data/stdout.txt" 2>&1 &
  GAME_PID=$!
}

stop_game() {
  [ -n "$GAME_PID" ] || return 0
  kill "$GAME_PID" 2>/dev/null || true
  wait "$GAME_PID" 2>/dev/null || true
  GAME_PID=""
}

# Waits until DEBUG.TXT of the data folder has a line matching the extended regex; prints the
# milliseconds since GAME_START when it appeared. Fails after `timeout` seconds or when the game
# ends. Arguments: data folder, regex, timeout in seconds.
wait_for_line() {
  local log="$1/DEBUG.TXT" pattern=$2 limit=$(( $(date +%s%N) + $3 * 1000000000 ))
  while :; do
    if [ -f "$log" ] && grep -Eq "$pattern" "$log"; then
      echo $(( ($(date +%s%N) - GAME_START) / 1000000 ))
      return 0
    fi
    kill -0 "$GAME_PID" 2>/dev/null || return 1
    [ "$(date +%s%N)" -lt "$limit" ] || return 1
    sleep 0.002
  done
}

# Clicks the game's window at each "X,Y" given (window pixels), a second apart.
click_window() {
  local window point
  window=$(xdotool search --sync --onlyvisible --pid "$GAME_PID" 2>/dev/null | head -1)
  [ -n "$window" ] || { echo "  (no window of the game to click)" >&2; return 0; }
  for point in "$@"; do
    xdotool mousemove --window "$window" "${point%,*}" "${point#*,}" click 1
    sleep 1
  done
}

# Process CPU time (user + system) in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Resident memory in kB: current, and the peak.
rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
peak_rss_kb() { awk '/^VmHWM:/{print $2}' "/proc/$1/status"; }

# Median of the numbers given as arguments.
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {if (NR % 2) print a[(NR+1)/2]; else printf "%.1f\n", (a[NR/2]+a[NR/2+1])/2}'; }

load_note() { echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores, niceness $NICE"; }
