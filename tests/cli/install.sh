#!/bin/bash
# The installed game: `cmake --install` into a temporary prefix puts every
# file where the desktop looks for it, the desktop entry and the AppStream
# metainfo pass their validators, and the installed program, started from
# another folder with a fresh home, shows its window under Xvfb, plays the
# demo from PREFIX/share/kolvex, plays a game and saves the score file in
# the user's data folder, leaving the current folder and the prefix alone.
# Usage: install.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$1 SOURCE=$2
for tool in desktop-file-validate appstreamcli Xvfb xdotool xwd xdpyinfo compare identify; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh)"; exit 1; }
done
WORK=$(mktemp -d)
PREFIX=$WORK/prefix
XPID=
APP=
cleanup() {
    [ -n "$APP" ] && kill $APP 2>/dev/null
    [ -n "$XPID" ] && kill $XPID 2>/dev/null
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

desktop-file-validate "$SOURCE/resources/desktop/kolvex.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$BUILD/desktop/org.example.kolvex.metainfo.xml" >"$WORK/as.txt" 2>&1 ||
    { fail "appstreamcli validate"; cat "$WORK/as.txt"; }

cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.txt" 2>&1 ||
    { fail "cmake --install"; cat "$WORK/install.txt"; exit 1; }
for f in bin/kolvex bin/kolvex-sim share/kolvex/ReadMe.rtf share/kolvex/DemoData.dat \
    share/applications/kolvex.desktop share/metainfo/org.example.kolvex.metainfo.xml \
    share/man/man6/kolvex-sim.6; do
    [ -s "$PREFIX/$f" ] || fail "$f was not installed"
done
for size in 16 32 48 64 128 256; do
    icon=$PREFIX/share/icons/hicolor/${size}x${size}/apps/kolvex.png
    got=$(identify -format '%wx%h' "$icon" 2>/dev/null)
    [ "$got" = "${size}x${size}" ] || fail "icon $icon is '$got', not ${size}x${size}"
done
grep -q '^Categories=Game;BlocksGame;$' "$PREFIX/share/applications/kolvex.desktop" ||
    fail "the desktop entry is not in Game;BlocksGame;"

# The installed program, from an empty folder, with a fresh home, under Xvfb.
mkdir -p "$WORK/elsewhere" "$WORK/home"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
XPID=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$WORK/display") QT_QPA_PLATFORM=xcb HOME=$WORK/home ASAN_OPTIONS=detect_leaks=0
unset XDG_DATA_HOME XDG_CONFIG_HOME
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
(cd "$WORK/elsewhere" && exec "$PREFIX/bin/kolvex") >"$WORK/kolvex.log" 2>&1 &
APP=$!

# The main window: the program's tallest visible window.
windows() { xdotool search --onlyvisible --pid $APP 2>/dev/null; }
main=
for _ in $(seq 150); do
    for w in $(windows); do
        eval "$(xdotool getwindowgeometry --shell $w 2>/dev/null)" || continue
        [ "$HEIGHT" -gt 300 ] && main=$w
    done
    [ -n "$main" ] && break
    kill -0 $APP 2>/dev/null || break
    sleep 0.2
done
[ -n "$main" ] || { fail "the installed program showed no main window"; tail -5 "$WORK/kolvex.log"; exit 1; }
sleep 1
xdotool windowfocus --sync $main 2>/dev/null
shot() { xwd -id $main -silent | convert xwd:- "$WORK/$1.png"; }
keys() { xdotool key --delay 80 "$@"; sleep 0.5; }
shot title

# Game > Demo: the recording from PREFIX/share/kolvex plays; no message box comes up.
keys alt+g d
sleep 3
shot demo
[ "$(windows | wc -l)" = 1 ] || fail "a second window (a message?) opened on Demo"
changed=$(compare -metric AE "$WORK/title.png" "$WORK/demo.png" null: 2>&1)
echo "demo: $changed pixels of the frame changed"
[ "${changed%%.*}" -gt 10000 ] 2>/dev/null || fail "the demo did not take the frame ($changed pixels changed)"
keys Escape
sleep 3

# A game, made fast, to its end; the score table is opened and written.
keys Return
keys ctrl+alt+f
for _ in $(seq 60); do
    [ -s "$HOME/.local/share/kolvex/Scores.DAT" ] && break
    keys Return
    sleep 1
done
scores=$HOME/.local/share/kolvex/Scores.DAT
[ -s "$scores" ] || fail "no score file in the user's data folder: $(find "$HOME" -type f)"
[ -s "$scores" ] && [ $(($(stat -c %s "$scores") % 520)) = 0 ] || fail "the score file is not whole records"
grep -q ACE "$scores" 2>/dev/null || fail "the score file lacks the first list's entries"
[ -z "$(ls -A "$WORK/elsewhere")" ] || fail "files were left in the current folder: $(ls -A "$WORK/elsewhere")"
[ "$(ls "$PREFIX/bin")" = "$(printf 'kolvex\nkolvex-sim')" ] || fail "files were left beside the program: $(ls "$PREFIX/bin")"

keys alt+g x
for _ in $(seq 50); do kill -0 $APP 2>/dev/null || break; sleep 0.1; done
kill -0 $APP 2>/dev/null && fail "Game > Exit did not end the program"
[ -s "$HOME/.config/Brenmar/Kolvex.conf" ] || fail "the settings were not saved in ~/.config"

[ $failures -eq 0 ] && echo "install: all checks passed"
exit $failures
