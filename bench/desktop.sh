#!/usr/bin/env bash
# Runs the program under a private Xvfb (and a private PulseAudio null sink, so the sound output
# does its real work) and prints what it costs on this desktop:
#   start to first window (the splash), a key to the main window, CPU share of one core of the
#   program's own process on the title screen and in a one- and a two-player game, resident
#   memory and context switches per second of all its threads.
# Usage: bench/desktop.sh [PROGRAM] [SECONDS]   (defaults: build/kolvex, 20)
# Needs: xvfb xdotool x11-utils (xdpyinfo); pulseaudio is used when installed.
set -u
PROGRAM=$(realpath "${1:-build/kolvex}")
SECONDS_EACH=${2:-20}
[ -x "$PROGRAM" ] || { echo "desktop.sh: $PROGRAM is not a program"; exit 2; }
for t in Xvfb xdotool xdpyinfo; do command -v $t >/dev/null || { echo "desktop.sh: $t is missing"; exit 2; }; done

WORK=$(mktemp -d)
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" XDG_CONFIG_HOME="$WORK/home/.config"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER
PIDS=()
cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done
    sleep 0.2
    for p in "${PIDS[@]}"; do kill -9 "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

n=90; while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n+1)); done
Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
PIDS+=($!)
export DISPLAY=:$n
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "desktop.sh: Xvfb did not come up on :$n"; exit 1; }
if command -v pulseaudio >/dev/null; then
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=file:"$WORK/pulse.log" \
        --load=module-native-protocol-unix --load="module-null-sink sink_name=bench_null" 2>/dev/null &
    PIDS+=($!)
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
fi

now() { date +%s%N; }
ms_since() { echo $(( ($(now) - $1) / 1000000 )); }
windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null; }
# largest visible window of process $1
largest() {
    local w best="" area=0 WIDTH HEIGHT
    for w in $(windows "$1"); do
        WIDTH=0 HEIGHT=0
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
        [ $((WIDTH * HEIGHT)) -gt $area ] && { area=$((WIDTH * HEIGHT)); best=$w; }
    done
    echo "$best"
}
ticks() { awk '{print $14+$15}' "/proc/$1/stat"; }
switches() { awk '/ctxt_switches/{s+=$2} END{print s}' /proc/"$1"/task/*/status 2>/dev/null; }
# measure PID SECONDS: prints "cpu% rssMB switches/s"
measure() {
    local t1 c1 s1 t2 c2 s2
    t1=$(now); c1=$(ticks "$1"); s1=$(switches "$1"); sleep "$2"
    t2=$(now); c2=$(ticks "$1"); s2=$(switches "$1")
    awk -v c=$((c2-c1)) -v w=$((t2-t1)) -v hz="$(getconf CLK_TCK)" -v s=$((s2-s1)) \
        -v rss="$(awk '/^VmRSS/{print $2}' "/proc/$1/status")" \
        'BEGIN{printf "%.2f %.1f %.0f\n", c/hz/(w/1e9)*100, rss/1024, s/(w/1e9)}'
}
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
start() {
    T0=$(now)
    "$PROGRAM" >"$WORK/program.log" 2>&1 &
    PID=$!
    PIDS+=($PID)
}
stop() { kill "$PID" 2>/dev/null; sleep 0.3; kill -9 "$PID" 2>/dev/null; wait "$PID" 2>/dev/null; }
# wait_window: waits for the first visible window, polling as fast as xdotool answers
wait_window() {
    local deadline=$(( $(now) + 10000000000 ))
    until [ -n "$(windows "$PID")" ]; do
        kill -0 "$PID" 2>/dev/null || { echo "desktop.sh: the program ended"; cat "$WORK/program.log"; exit 1; }
        [ "$(now)" -lt $deadline ] || { echo "desktop.sh: no window after 10 s"; exit 1; }
    done
}
# to_main_window: once the splash's wipe is over (a key during it only ends the wipe), a key
# closes the splash; waits until the main window (the largest window) is shown.
to_main_window() {
    local first t
    first=$(windows "$PID" | head -n 1)
    xdotool windowfocus --sync "$first" 2>/dev/null
    sleep 1.5
    t=$(now)
    xdotool key Return
    until [ -n "$(largest "$PID")" ] && [ "$(largest "$PID")" != "$first" ]; do sleep 0.005; done
    MAIN_MS=$(ms_since "$t")
    xdotool windowfocus --sync "$(largest "$PID")" 2>/dev/null
    sleep 1
}

# Run 1: start-up, title screen, a one-player game.
start
wait_window
FIRST_MS=$(ms_since "$T0")
to_main_window
read -r TITLE_CPU TITLE_RSS TITLE_CS < <(measure "$PID" "$SECONDS_EACH")
keys Return
sleep 1
read -r ONE_CPU ONE_RSS ONE_CS < <(measure "$PID" "$SECONDS_EACH")
stop

# Run 2: a two-player game (Options > Number of players > 2).
start
wait_window
to_main_window
keys alt+o p Down Return
keys Return
sleep 1
read -r TWO_CPU TWO_RSS TWO_CS < <(measure "$PID" "$SECONDS_EACH")
stop

printf '%-28s %s\n' "program" "$PROGRAM" \
    "start to first window" "$FIRST_MS ms" \
    "key to main window" "$MAIN_MS ms" \
    "title screen" "cpu $TITLE_CPU%, rss $TITLE_RSS MB, $TITLE_CS switches/s" \
    "one-player game" "cpu $ONE_CPU%, rss $ONE_RSS MB, $ONE_CS switches/s" \
    "two-player game" "cpu $TWO_CPU%, rss $TWO_RSS MB, $TWO_CS switches/s"
echo "| $FIRST_MS ms, $MAIN_MS ms to main | $TITLE_CPU% | $ONE_CPU% | $TWO_CPU% | $TWO_RSS MB | $TITLE_CS |"
