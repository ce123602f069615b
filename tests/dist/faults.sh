#!/usr/bin/env bash
# The faults of the world, one per run: the game must start or stop cleanly, say what is wrong,
# never crash, and leave every file of the player's data folder as it was.
#   faults.sh no_audio|no_display|readonly_data|full_disk|data_is_file|damaged_replay GAME
# Exit status 77 (skipped) when the fault cannot be made here (no private mount namespace).
set -uo pipefail
fault=$1
game=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
unset QS_DATA_DIR QS_RESOURCE_DIR

# A first start that makes the profile "Ann" (typed into the profile screen), then a short
# Gauntlet; and a start that finds the profile and plays a little.
printf 'quorlslide replay 1\nvalue seed 3\nvalue start-play 1\nloaded 2\n%s\nend 150\n' \
  "$(printf 'event 3 char %d 0 0\n' 65 110 110)
event 3 keydown 13 0 0
event 3 keyup 13 0 0" >"$work/first.replay"
printf 'quorlslide replay 1\nvalue seed 3\nvalue start-play 1\nloaded 2\nend 150\n' >"$work/short.replay"

# A data folder as a player leaves it: profile, settings, scores, statistics, sound cache.
"$game" --replay "$work/first.replay" --headless --userdir "$work/prepared" >"$work/prepare.out" 2>"$work/prepare.err" ||
  { cat "$work/prepare.err"; echo "FAIL: preparing the data folder"; exit 1; }
[ -d "$work/prepared/USERS/Ann" ] || { cat "$work/prepare.err"; echo "FAIL: the first start made no profile"; exit 1; }

# Every file but the debug log (emptied at each start by design) with its checksum.
sums() { (cd "$1" && find . -type f ! -name DEBUG.TXT -print0 | sort -z | xargs -0 -r sha256sum); }
# Standard error must say `$1`, and no sanitizer or crash report may appear in it.
expect_said() {
  grep -q "$1" "$work/err" || { sed 's/^/  stderr: /' "$work/err" | head -20; fail "standard error does not say \"$1\""; }
  if grep -qE "Sanitizer|runtime error|Segmentation|Aborted" "$work/err"; then
    sed 's/^/  stderr: /' "$work/err" | head -40; fail "the game crashed or erred"
  fi
}
expect_state_line() {
  grep -qE '^state [0-9a-f]{16}$' "$work/out" || fail "no state line (standard output: $(head -c 200 "$work/out"))"
}
can_unshare() { unshare -rm true 2>/dev/null; }

case "$fault" in
no_audio)
  # A sound driver that does not exist: the game plays silently.
  cp -a "$work/prepared" "$work/data"
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=no-such-driver \
    "$game" --replay "$work/short.replay" --userdir "$work/data" >"$work/out" 2>"$work/err"
  status=$?
  [ $status -eq 0 ] || fail "exit status $status"
  expect_said "No sound device"
  expect_state_line
  ;;
no_display)
  # Neither X11 nor Wayland: say so and stop with a failure status, before touching any file.
  cp -a "$work/prepared" "$work/data"
  sums "$work/data" >"$work/before"
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR SDL_AUDIODRIVER=dummy \
    timeout 60 "$game" --userdir "$work/data" >"$work/out" 2>"$work/err"
  status=$?
  [ $status -eq 1 ] || fail "exit status $status, expected 1"
  expect_said "no display was found"
  sums "$work/data" | cmp -s - "$work/before" || fail "a file of the data folder changed"
  ;;
readonly_data)
  can_unshare || { echo "no private mount namespace: skipped"; exit 77; }
  cp -a "$work/prepared" "$work/data"
  sums "$work/data" >"$work/before"
  unshare -rm bash -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" &&
                       exec "$2" --replay "$3" --headless --userdir "$1"' \
    _ "$work/data" "$game" "$work/short.replay" >"$work/out" 2>"$work/err"
  status=$?
  [ $status -eq 0 ] || fail "exit status $status"
  expect_said "is read-only"
  expect_state_line
  sums "$work/data" | cmp -s - "$work/before" || fail "a file of the data folder changed"
  ;;
full_disk)
  # A small file system filled to the last block, the player's files on it.
  can_unshare || { echo "no private mount namespace: skipped"; exit 77; }
  mkdir "$work/disk"
  unshare -rm bash -c '
    mount -t tmpfs -o size=16m tmpfs "$1" || exit 90
    cp -a "$2" "$1/data" || exit 91
    dd if=/dev/zero of="$1/filler" bs=4k 2>/dev/null
    cd "$1/data" && find . -type f ! -name DEBUG.TXT -print0 | sort -z | xargs -0 -r sha256sum >"$4/before"
    "$3" --replay "$5" --headless --userdir "$1/data" >"$4/out" 2>"$4/err"
    echo $? >"$4/status"
    cd "$1/data" && find . -type f ! -name DEBUG.TXT -print0 | sort -z | xargs -0 -r sha256sum >"$4/after"
    df -k "$1" | tail -1 >"$4/df"' _ "$work/disk" "$work/prepared" "$game" "$work" "$work/short.replay"
  status=$(cat "$work/status" 2>/dev/null || echo "none")
  [ "$status" = 0 ] || fail "exit status $status"
  expect_said "has no space left"
  expect_state_line
  cmp -s "$work/before" "$work/after" || { diff "$work/before" "$work/after" | head; fail "a file of the data folder changed"; }
  echo "disk: $(cat "$work/df")"
  ;;
data_is_file)
  # The data folder's name taken by a file: it is left alone, the game plays without saving.
  printf 'precious\n' >"$work/data"
  "$game" --replay "$work/short.replay" --headless --userdir "$work/data" >"$work/out" 2>"$work/err"
  status=$?
  [ $status -eq 0 ] || fail "exit status $status"
  expect_said "is a file, not a folder"
  expect_state_line
  [ "$(cat "$work/data")" = "precious" ] || fail "the file in the data folder's place changed"
  ;;
damaged_replay)
  # A replay cut short: refused with the reason, the data folder untouched.
  cp -a "$work/prepared" "$work/data"
  sums "$work/data" >"$work/before"
  head -c 60 "$work/first.replay" >"$work/cut.replay"
  "$game" --replay "$work/cut.replay" --headless --userdir "$work/data" >"$work/out" 2>"$work/err"
  status=$?
  [ $status -eq 1 ] || fail "exit status $status, expected 1"
  expect_said "the replay is refused: .*cut.replay: line 4: the last line is cut off"
  sums "$work/data" | cmp -s - "$work/before" || fail "a file of the data folder changed"
  ;;
*)
  echo "unknown fault $fault"
  exit 2
  ;;
esac
sed 's/^/  stderr: /' "$work/err" | grep -v "ALSA lib" | head -8
[ $failures -eq 0 ] && echo "$fault: the game behaved"
exit $((failures > 0))
