#!/bin/bash
# Plays every sound effect through a private PulseAudio null sink, records
# the sink's monitor and checks that each effect comes out at its full
# length, and that an effect cut off by a new one stops; then runs the sound
# tests with that sound device.
# Usage: sound_null_sink.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$1
SIM="$BUILD/kolvex-sim"
for tool in pulseaudio pactl parecord sox; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh)"; exit 1; }
done
# Sound is real time: a desktop gives its sound a higher share of a busy
# processor, and so does this check where it may.
urgent=()
nice -n -10 true 2>/dev/null && urgent=(nice -n -10)

WORK=$(mktemp -d)
export XDG_RUNTIME_DIR="$WORK/runtime" HOME="$WORK/home"
unset PULSE_SERVER
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"
"${urgent[@]}" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=file:"$WORK/pulse.log" \
    --load=module-native-protocol-unix --load="module-null-sink sink_name=kolvex_null" 2>/dev/null &
PULSE=$!
trap 'kill $PULSE 2>/dev/null; wait $PULSE 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "FAIL: PulseAudio did not start"; cat "$WORK/pulse.log"; exit 1; }
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# spans FILE: the audible stretches as "start+length" in ms; stretches less
# than 40 ms apart count as one.
spans() {
    sox "$1" -t dat - 2>/dev/null | awk '
        /^;/ { if ($2 == "Sample" && $3 == "Rate") rate = $4; next }
        { v = $2 < 0 ? -$2 : $2; n++
          if (v > 0.02) { if (have && n - last < rate * 0.04) last = n; else { if (have) out = out sprintf("%d+%d ", a * 1000 / rate, (last - a) * 1000 / rate); a = n; last = n; have = 1 } } }
        END { if (have) out = out sprintf("%d+%d", a * 1000 / rate, (last - a) * 1000 / rate); print out }'
}
lengths() { for s in $1; do printf '%s ' "${s#*+}"; done; }

# record FILE SIM-ARGS...: records the sink from before kolvex-sim starts until it has
# ended, however long a busy machine makes it take.
record() {
    local file=$1
    shift
    "${urgent[@]}" parecord --latency-msec=20 -d kolvex_null.monitor --rate=44100 --channels=1 \
        --format=s16le --file-format=wav "$file" &
    local rec=$!
    for _ in $(seq 100); do
        pactl list short source-outputs 2>/dev/null | grep -q . && break
        sleep 0.1
    done
    "${urgent[@]}" "$SIM" "$@" || fail "kolvex-sim $* exited with $?"
    sleep 0.2
    kill -INT $rec
    wait $rec
}

"$SIM" export-resources "$WORK/res" >/dev/null || fail "export-resources failed"
for name in FLIP FLIP4 FLIP3 FLIP2 FLIP1; do
    want=$(lengths "$(spans "$WORK/res/$name.wav")")
    record "$WORK/$name.wav" play-sounds "$name"
    got=$(lengths "$(spans "$WORK/$name.wav")")
    echo "$name: source ${want}ms, heard ${got}ms"
    set -- $got
    for w in $want; do
        g=${1:-0}
        [ $((g - w)) -le 15 ] && [ $((w - g)) -le 15 ] || fail "$name came out ${got}ms instead of ${want}ms"
        shift
    done
    [ $# = 0 ] || fail "$name came out with more parts than it has: $got"
done

# FLIP1 150 ms after FLIP4: FLIP4 is cut off, FLIP1 is heard whole.
record "$WORK/cut.wav" play-sounds --gap 150 FLIP4 FLIP1
heard=$(spans "$WORK/cut.wav")
if [ -z "$heard" ]; then
    fail "FLIP4 cut by FLIP1: nothing was heard"
else
    first=${heard%% *}
    last=${heard##* }
    extent=$((${last%+*} + ${last#*+} - ${first%+*}))
    echo "FLIP4 cut by FLIP1: heard $heard (${extent}ms in all)"
    [ $extent -ge 450 ] && [ $extent -le 800 ] || fail "FLIP4 was not cut off by FLIP1: $heard"
fi

# After a long silence the stream has stopped; the effect that starts it again is heard whole,
# and so is one that comes while the stream still runs.
record "$WORK/again.wav" play-sounds --gap 3000 FLIP2 FLIP3 FLIP3
want=$(lengths "$(spans "$WORK/res/FLIP2.wav")")$(lengths "$(spans "$WORK/res/FLIP3.wav")")
want="$want$(lengths "$(spans "$WORK/res/FLIP3.wav")")"
got=$(lengths "$(spans "$WORK/again.wav")")
echo "FLIP2 FLIP3 FLIP3 3 s apart: source ${want}ms, heard ${got}ms ($(spans "$WORK/again.wav"))"
set -- $got
for w in $want; do
    g=${1:-0}
    [ $((g - w)) -le 15 ] && [ $((w - g)) -le 15 ] || fail "after a silence: heard ${got}ms instead of ${want}ms"
    shift
done

# The sound tests once more, now with a sound device to play on.
if [ -x "$BUILD/test_sound" ]; then
    PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native" QT_QPA_PLATFORM=offscreen "$BUILD/test_sound" >"$WORK/test_sound.log" 2>&1 ||
        { fail "test_sound failed with a sound device"; tail -20 "$WORK/test_sound.log"; }
fi

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "sound through the null sink: all checks passed"
