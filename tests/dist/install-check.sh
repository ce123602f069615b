#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a packager would: the layout, the
# desktop entry and AppStream metadata through their validators, the manual page, the icons' sizes,
# and the installed game replaying a short run from another folder while its prefix is read-only,
# then again after the prefix was moved.
#   install-check.sh BUILD_DIR APP_ID
set -uo pipefail
build=$1
id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; exit 1; }

for path in bin/quorlslide bin/quorlslide-tool \
            share/quorlslide/Graphics share/quorlslide/Fonts share/quorlslide/SoundEffects share/quorlslide/Textures \
            share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg share/man/man6/quorlslide.6; do
  [ -e "$prefix/$path" ] || fail "missing $path"
done
for size in 16 22 24 32 48 64 128 256 512; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  if [ ! -f "$png" ]; then fail "missing ${size}x${size} icon"; continue; fi
  # Width and height from the PNG header.
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
  [ "$w $h" = "$size $size" ] || fail "${size}x${size} icon is $w x $h"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is not SVG"

echo "== desktop-file-validate"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "Icon=$id\$" "$prefix/share/applications/$id.desktop" || fail "the desktop entry names another icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "the metadata launches another desktop entry"

echo "== man -l"
if command -v man >/dev/null; then
  MANWIDTH=80 man -l "$prefix/share/man/man6/quorlslide.6" >"$work/man.txt" 2>"$work/man.err" || fail "man -l"
else
  groff -man -Tutf8 "$prefix/share/man/man6/quorlslide.6" >"$work/man.txt" 2>"$work/man.err" || fail "groff"
fi
grep -q "OPTIONS" "$work/man.txt" || fail "the manual page has no OPTIONS"
grep -q "warning" "$work/man.err" && { cat "$work/man.err"; fail "the manual page has formatting warnings"; }

# A short run: loading ends on step 2 and the first start's profile screen waits until step 60.
printf 'quorlslide replay 1\nvalue seed 3\nvalue start-play 1\nloaded 2\nend 60\n' >"$work/short.replay"
run_installed() {  # program user-folder -> "state <hex>" on standard output
  (cd / && env -u QS_RESOURCE_DIR -u QS_DATA_DIR "$1" --replay "$work/short.replay" --headless --userdir "$2")
}
listing() { (cd "$1" && find . -printf '%p %s %T@\n' | sort); }

echo "== the installed game, from /, prefix read-only"
listing "$prefix" >"$work/before.txt"
if unshare -rm true 2>/dev/null; then
  state=$(unshare -rm bash -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" &&
           if touch "$1/x" 2>/dev/null; then echo "writable"; exit 1; fi
           cd / && env -u QS_RESOURCE_DIR -u QS_DATA_DIR "$1/bin/quorlslide" --replay "$2" --headless --userdir "$3"' \
           _ "$prefix" "$work/short.replay" "$work/user1")
  status=$?
else
  echo "(no private mount namespace here: the prefix stays writable, and is compared before and after)"
  state=$(run_installed "$prefix/bin/quorlslide" "$work/user1")
  status=$?
fi
[ $status -eq 0 ] || fail "the installed game exited with $status"
[[ "$state" =~ ^state\ [0-9a-f]{16}$ ]] || fail "no state line from the installed game: '$state'"
listing "$prefix" >"$work/after.txt"
cmp -s "$work/before.txt" "$work/after.txt" || { diff "$work/before.txt" "$work/after.txt" | head; fail "the game changed its prefix"; }
[ -f "$work/user1/game.cfg" ] || [ -f "$work/user1/DEBUG.TXT" ] || fail "nothing was written to the data folder"

echo "== the installed game, prefix moved"
mv "$prefix" "$work/moved"
moved=$(run_installed "$work/moved/bin/quorlslide" "$work/user2")
[ $? -eq 0 ] || fail "the moved game failed"
[ "$moved" = "$state" ] || fail "the moved game printed '$moved', not '$state'"

[ $failures -eq 0 ] && echo "install: all checks passed"
exit $((failures > 0))
