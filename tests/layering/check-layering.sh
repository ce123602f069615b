#!/usr/bin/env bash
# Checks which folder of src/ may include which: the layering of the game's code.
#   check-layering.sh SRC_ROOT     prints every forbidden include; exit status 1 when there is one
#   check-layering.sh --self-test  plants one forbidden include per rule in a scratch tree and
#                                  fails unless each is found (and a clean tree passes)
# Rules:
#   - only platform/ includes SDL or POSIX system headers;
#   - engine/ includes nothing of board/ or game/; board/ nothing of game/;
#   - persistence/ nothing of engine/, board/ or game/;
#   - inside the engine: core/ includes nothing of draw/, audio/ or controls/, except the frame's
#     device start-up in core/AppStartup.cpp; draw/ nothing of audio/ or controls/; audio/ nothing of
#     core/, draw/ or controls/;
#   - board/ and game/ reach the clock through the engine, never platform/Clock.h.
set -uo pipefail

# POSIX and SDL headers: the system seam lives in platform/ alone.
SYSTEM_HEADERS='SDL[^>]*|unistd\.h|strings\.h|fcntl\.h|dirent\.h|pthread\.h|dlfcn\.h|link\.h|poll\.h|netdb\.h|termios\.h|pwd\.h|grp\.h|spawn\.h|sched\.h|semaphore\.h|execinfo\.h|ucontext\.h|glob\.h|fnmatch\.h|libgen\.h|syslog\.h|ifaddrs\.h|sys/[^>]*|netinet/[^>]*|arpa/[^>]*'

check() {
    local root=$1 found=0 line
    # forbid FOLDER PATTERN WHY [EXCEPT-FILE]: report includes matching PATTERN under FOLDER.
    forbid() {
        local folder=$1 pattern=$2 why=$3 except=${4:-}
        [ -d "$root/$folder" ] || return 0
        while IFS= read -r line; do
            [ -n "$line" ] || continue
            if [ -n "$except" ] && [ "${line%%:*}" = "$root/$except" ]; then continue; fi
            echo "${line#"$root"/}  <- $why"
            found=1
        done < <(grep -rnE --include='*.h' --include='*.cpp' --include='*.hpp' --include='*.cc' \
                     "^[[:space:]]*#[[:space:]]*include[[:space:]]*$pattern" "$root/$folder" 2>/dev/null)
    }
    local dir
    for dir in "$root"/*/; do
        dir=$(basename "$dir")
        [ "$dir" = platform ] && continue
        forbid "$dir" "[<\"]($SYSTEM_HEADERS)[>\"]" "SDL and POSIX headers belong in platform/"
    done
    for f in "$root"/*.cpp "$root"/*.h; do
        [ -f "$f" ] || continue
        if grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($SYSTEM_HEADERS)[>\"]" "$f" >/dev/null; then
            echo "$(basename "$f")  <- SDL and POSIX headers belong in platform/"; found=1
        fi
    done
    forbid engine '"(game|board)/' "the engine knows nothing of the board or the game"
    forbid board '"game/' "the board knows nothing of the game"
    forbid persistence '"(engine|board|game)/' "persistence uses only platform/ and support/"
    forbid engine/core '"engine/(draw|audio|controls)/' "core sits under draw, audio and controls" engine/core/AppStartup.cpp
    forbid engine/draw '"engine/(audio|controls)/' "draw sits under controls and beside audio"
    forbid engine/audio '"engine/(core|draw|controls)/' "audio needs nothing else of the engine"
    forbid board '"platform/Clock\.h"' "the board reads the clock through the engine"
    forbid game '"platform/Clock\.h"' "the game reads the clock through the engine"
    return $found
}

self_test() {
    local status=0
    scratch=$(mktemp -d) || exit 1
    trap 'rm -rf "$scratch"' EXIT
    local tmp=$scratch
    mkdir -p "$tmp"/{platform,engine/core,engine/draw,engine/audio,engine/controls,board,game,persistence,support}
    echo '#include <SDL.h>' > "$tmp/platform/Window.cpp"
    echo '#include "engine/draw/GraphicsFactory.h"' > "$tmp/engine/core/AppStartup.cpp"
    echo '#include "engine/core/App.h"' > "$tmp/engine/controls/Button.cpp"
    echo '#include "board/SlideBoard.h"' > "$tmp/game/Board.cpp"
    if ! check "$tmp" >/dev/null; then echo "self-test: a clean tree was refused"; check "$tmp"; status=1; fi
    # One planted include per rule; each must be reported.
    local cases=(
        'game/A.cpp|#include <SDL.h>'
        'support/A.cpp|#include <sys/socket.h>'
        'engine/draw/A.cpp|  #  include <unistd.h>'
        'persistence/A.cpp|#include <strings.h>'
        'engine/core/A.h|#include "game/GameApp.h"'
        'engine/draw/A.cpp|#include "board/SlideBoard.h"'
        'board/A.cpp|#include "game/rules/Board.h"'
        'persistence/A.cpp|#include "engine/core/App.h"'
        'persistence/A.cpp|#include "game/GameApp.h"'
        'engine/core/Gadget.cpp|#include "engine/draw/Sprite.h"'
        'engine/draw/A.cpp|#include "engine/controls/Button.h"'
        'engine/audio/A.cpp|#include "engine/core/App.h"'
        'board/A.cpp|#include "platform/Clock.h"'
        'game/rules/A.cpp|#include "platform/Clock.h"'
    )
    local c file text
    for c in "${cases[@]}"; do
        file=${c%%|*}; text=${c#*|}
        mkdir -p "$(dirname "$tmp/$file")"
        echo "$text" > "$tmp/$file"
        if check "$tmp" >/dev/null; then echo "self-test: not caught: $file: $text"; status=1; fi
        rm -f "$tmp/$file"
    done
    [ $status -eq 0 ] && echo "self-test: ${#cases[@]} planted includes caught, clean tree passed"
    return $status
}

case "${1:-}" in
    --self-test) self_test ;;
    "") echo "usage: check-layering.sh SRC_ROOT | --self-test" >&2; exit 2 ;;
    *) if check "$1"; then echo "layering: clean"; else exit 1; fi ;;
esac
