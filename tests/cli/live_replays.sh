#!/bin/bash
# A two-player game played live, as players would, under a real X server
# (Xvfb and xdotool: keys arrive as X key events, as from a keyboard), is the
# same game as every replay of it: the program's --results of the live game,
# of its own "Replay" and of "Game > Demo" of the saved recording, and
# kolvex-sim replay of that file, are identical. Five key scripts, then the
# last once more with both cores kept busy.
# The game clock runs at --pace times the wall clock (LIVE_PACE, 5 by default): only the wall time
# between ticks shrinks, their order and game times are the scheduler's.
# Usage: live_replays.sh BUILD_DIR SOURCE_DIR [SCRIPTS] [GAME_SECONDS]
set -u
BUILD=$(cd "$1" && pwd)
KOLVEX="$BUILD/kolvex"
SIM="$BUILD/kolvex-sim"
SCRIPTS=${3:-5}
GAME_SECONDS=${4:-90}
PACE=${LIVE_PACE:-5}
for tool in Xvfb xdotool xdpyinfo; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh)"; exit 1; }
done
WORK=$(mktemp -d)
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export XDG_RUNTIME_DIR="$WORK/runtime"
unset QT_QPA_PLATFORM PULSE_SERVER
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Brenmar" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The scores go to the work folder, a list that no random game enters (so no
# name is asked for); no sound is needed; no pause on a lost focus (with no
# window manager the focus may wander).
perl -e 'print pack("C a255 l< C a255 l<", 3, "ACE", 1000000, 10, "01.01.2026", 0) x 10' \
    > "$WORK/Scores.DAT"
cat > "$XDG_CONFIG_HOME/Brenmar/Kolvex.conf" <<EOF
[Audio]
SoundEffectEnabled=false
MIDIMusicEnabled=false
GameMusicEnabled=false
[Div]
ScoreListPath=$WORK/
[Window]
PauseOnFocusLoss=false
EOF

# Xvfb takes a free display itself (-displayfd): two checks at once never share one.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
XVFB=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$WORK/display")
GAME=""
BUSY=""
cleanup() {
    [ -n "$GAME" ] && kill -9 $GAME 2>/dev/null
    [ -n "$BUSY" ] && kill $BUSY 2>/dev/null
    kill $XVFB 2>/dev/null
    wait 2>/dev/null
    [ -n "${LIVE_KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT
trap "exit 1" TERM INT HUP
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "FAIL: Xvfb did not start"; exit 1; }

failures=0
# LIVE_SHOTS=DIR keeps a picture of the screen at each failure.
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
    [ -n "${LIVE_SHOTS:-}" ] && command -v xwd >/dev/null &&
        xwd -root -silent | convert xwd:- "$LIVE_SHOTS/failure$failures.png"
}

# Sends keys to the program's window.
send() { xdotool key --delay 80 "$@"; }

# The number of finished sessions in the results file.
sessions() { grep -c '^end$' results.txt 2>/dev/null || echo 0; }

# Waits up to $2 seconds for $1 finished sessions; meanwhile presses $3 now and then.
wait_sessions() {
    local want=$1 seconds=$2 key=${3:-}
    for _ in $(seq $((seconds * 2))); do
        [ "$(sessions)" -ge "$want" ] && return 0
        kill -0 $GAME 2>/dev/null || return 1
        [ -n "$key" ] && send "$key"
        sleep 0.5
    done
    return 1
}

# The main window (the program's window taller than the splash) and its width.
main_window_id() {
    local w
    for w in $(xdotool search --onlyvisible --pid $GAME 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell $w 2>/dev/null)"
        [ "${HEIGHT:-0}" -gt 400 ] && { echo "$w $WIDTH"; return; }
    done
    echo "0 0"
}
window_width() { main_window_id | cut -d' ' -f2; }

# Waits up to $1 tenths of a second for the program's main window.
main_window() {
    for _ in $(seq "$1"); do
        [ "$(main_window_id)" != "0 0" ] && return 0
        sleep 0.1
    done
    return 1
}

# Ends the live session: Escape stops the games. A well that has reached "Game
# Over" waits for Enter meanwhile, so Enter too, but only while the two wells
# are shown: on the title screen Enter would start a new game.
end_session() {
    local one=$1
    for _ in $(seq 60); do
        [ "$(sessions)" -ge 1 ] && return 0
        kill -0 $GAME 2>/dev/null || return 1
        send Escape
        sleep 0.5
        [ "$(sessions)" -ge 1 ] && return 0
        [ "$(window_width)" -gt $((one * 3 / 2)) ] && send Return
        sleep 0.5
    done
    return 1
}

# Chooses two players through the menus and starts a new game. A menu key
# that arrives before the window has the focus is lost, so the game's width
# (a second well beside the first) tells whether the choice was taken; a
# one-player game started by mistake is stopped and its results dropped.
two_player_game() {
    local one=$1
    for _ in 1 2 3; do
        xdotool windowfocus "$(main_window_id | cut -d' ' -f1)" 2>/dev/null
        send alt+o p Down Return
        sleep 0.5
        send alt+g n
        sleep 1
        [ "$(window_width)" -gt $((one * 3 / 2)) ] && return 0
        wait_sessions 1 20 Escape
        sleep 1
        rm -f results.txt
    done
    return 1
}

# Random presses for both players: short taps and holds of the moving keys,
# turns, now and then a drop, the two players' keys overlapping.
key_chain() {
    awk -v seed="$1" -v seconds="$2" 'function pick(keys,   r) {
            r = rand()
            return r < 0.03 ? keys[4] : r < 0.3 ? keys[3] : r < 0.65 ? keys[1] : keys[2]
        }
        BEGIN {
        srand(seed)
        split("Left Right Up Down", one, " ")
        split("a d w s", two, " ")
        t = 0
        while (t < seconds) {
            k1 = pick(one); k2 = pick(two)
            hold = 0.03 + rand() * 0.25
            printf "keydown %s ", k1
            if (rand() < 0.6) printf "keydown %s ", k2; else k2 = ""
            printf "sleep %.3f keyup %s ", hold, k1
            if (k2 != "") printf "keyup %s ", k2
            gap = 0.05 + rand() * 0.3
            printf "sleep %.3f ", gap
            t += hold + gap
        }
    }'
}

# One live game with key script $1: the results and the recording are left in $WORK/run$1.
play_once() {
    local seed=$1 run="$WORK/run$1$2"
    mkdir -p "$run" && cd "$run" || return 1
    "$KOLVEX" --results results.txt --pace $PACE > program.log 2>&1 &
    GAME=$!
    # The splash goes with a key; then the main window, taller than the splash.
    for _ in $(seq 100); do
        [ -n "$(xdotool search --onlyvisible --pid $GAME 2>/dev/null)" ] && break
        sleep 0.1
    done
    main_window 15 || send Return
    main_window 100 || { fail "script $seed: no main window: $(tail -n 3 program.log)"; return 1; }
    sleep 0.5
    local one
    one=$(window_width)
    two_player_game $one || { fail "script $seed: no two-player game started"; return 1; }
    # shellcheck disable=SC2046
    xdotool $(key_chain "$seed" "$(awk -v s="$GAME_SECONDS" -v p=$PACE 'BEGIN { print s / p }')")
    end_session $one || { fail "script $seed: the live session did not end: $(tail -n 3 program.log)"; return 1; }
    sleep 1
    send ctrl+alt+s
    sleep 0.5
    [ -s DemoData.dat ] || { fail "script $seed: Save demo data wrote nothing"; return 1; }
    send ctrl+r
    wait_sessions 2 $((GAME_SECONDS * 2)) || { fail "script $seed: the replay did not end"; return 1; }
    sleep 1
    send alt+g d
    wait_sessions 3 $((GAME_SECONDS * 2)) || { fail "script $seed: the demo did not end"; return 1; }
    kill $GAME 2>/dev/null
    wait $GAME 2>/dev/null
    GAME=""
    "$SIM" replay DemoData.dat --teleports > sim.txt 2>&1 || { fail "script $seed: kolvex-sim replay failed"; return 1; }
    # The sessions of the results file, one file each.
    awk '/^end$/ { n++; next } { print > ("session" n + 0 ".txt") }' results.txt
    [ "$(grep -c '^game' session0.txt)" -eq 2 ] ||
        { fail "script $seed: the live session was not of two players"; return 1; }
    grep -v '^teleported' sim.txt > sim-results.txt
    local live
    live=$(head -n 1 session0.txt; sed -n 22p session0.txt)
    for part in session1.txt session2.txt sim-results.txt; do
        cmp -s session0.txt $part || fail "script $seed$2: $part differs from the live game" \
            "($(echo $live | tr '\n' ' ')): $(head -n 1 $part) / $(sed -n 22p $part)"
    done
    local teleported
    teleported=$(awk '/^teleported/ { print $3 }' sim.txt)
    TELEPORTED=$((TELEPORTED + ${teleported:-0}))
    echo "script $seed$2: $(head -n 1 session0.txt) | $(sed -n 22p session0.txt) | teleported $teleported"
}

TELEPORTED=0
for seed in $(seq 1 "$SCRIPTS"); do play_once "$seed" ""; done
# Both cores busy.
yes > /dev/null &
BUSY=$!
yes > /dev/null &
BUSY="$BUSY $!"
play_once "$SCRIPTS" " (cores busy)"
kill $BUSY 2>/dev/null
BUSY=""

[ $TELEPORTED -gt 0 ] || fail "no cell was teleported in any game"
[ $failures -eq 0 ] && echo "live games replay identically: all checks passed"
exit $failures
