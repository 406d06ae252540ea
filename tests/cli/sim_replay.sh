#!/bin/bash
# Command-line checks of kolvex-sim record and replay.
# Usage: sim_replay.sh BUILD_DIR SOURCE_DIR
SIM="$1/kolvex-sim"
source "$(dirname "$0")/common.sh"

# refused DESCRIPTION ARGS...: one line on standard error, exit status 2, nothing printed.
refused() {
    local what=$1
    shift
    "$SIM" "$@" >"$WORK/out" 2>"$WORK/err"
    local status=$?
    [ $status -eq 2 ] || fail "$what: exit status $status, expected 2"
    [ "$(wc -l <"$WORK/err")" -eq 1 ] || fail "$what: expected one line on stderr, got: $(cat "$WORK/err")"
    [ ! -s "$WORK/out" ] || fail "$what: printed $(head -c 200 "$WORK/out")"
}

# The output: per game a header line and 20 rows of 10 characters.
well_formed() {
    local file=$1 games=$2
    [ "$(grep -c '^game [0-9] score [0-9]* level [0-9]* stopped [01]$' "$file")" -eq "$games" ] ||
        fail "$file: expected $games game lines"
    [ "$(grep -c '^[.1-7BC]\{10\}$' "$file")" -eq $((20 * games)) ] ||
        fail "$file: expected $((20 * games)) playfield rows"
    [ "$(wc -l <"$file")" -eq $((21 * games)) ] || fail "$file: unexpected extra lines"
}

for players in 1 2; do
    for seed in 3 8; do
        rec="$WORK/p$players-s$seed.rep"
        "$SIM" record --seed $seed --players $players --level $((seed % 5)) --inputs $((seed + 1)) \
            "$rec" >"$WORK/recorded" 2>"$WORK/err" || fail "record $players/$seed: $(cat "$WORK/err")"
        well_formed "$WORK/recorded" $players
        [ -s "$rec" ] || fail "record $players/$seed wrote no recording"
        "$SIM" replay "$rec" >"$WORK/replayed" 2>"$WORK/err" || fail "replay $players/$seed: $(cat "$WORK/err")"
        cmp -s "$WORK/recorded" "$WORK/replayed" ||
            fail "replay of $players players, seed $seed differs: $(diff "$WORK/recorded" "$WORK/replayed" | head -5)"
    done
done

# Speed, turning direction and the recording's size.
"$SIM" record --seed 11 --players 2 --level 0 --speed 2 --counter-clockwise --inputs 4 \
    "$WORK/fast.rep" >"$WORK/recorded" || fail "record at speed 2"
"$SIM" replay "$WORK/fast.rep" >"$WORK/replayed" || fail "replay at speed 2"
cmp -s "$WORK/recorded" "$WORK/replayed" || fail "replay at speed 2 differs"
size=$(stat -c %s "$WORK/fast.rep")
[ $(((size - 19) % 13)) -eq 0 ] || fail "recording of $size bytes is not 19 + 13 x N"
[ "$(head -c 1 "$WORK/fast.rep" | od -An -tu1 | tr -d ' ')" = 2 ] || fail "players field is not 2"

# A short limit stops the games.
"$SIM" replay "$WORK/p1-s3.rep" --max-frames 50 >"$WORK/short" || fail "replay --max-frames 50"
grep -q '^game 0 score [0-9]* level [0-9]* stopped 1$' "$WORK/short" || fail "50 frames did not stop the game"

# An empty recording: the player takes over at once and the game plays on alone until it ends.
printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\xe8\x03\x00\x00\x00\x00\x00\x00' >"$WORK/empty.rep"
"$SIM" replay "$WORK/empty.rep" >"$WORK/alone" || fail "replay of an empty recording"
well_formed "$WORK/alone" 1
grep -q 'stopped 0$' "$WORK/alone" || fail "a game with no input did not end by itself"

# Damaged, unreadable and impossible input.
refused "missing file" replay "$WORK/nothing-here.rep"
head -c 10 "$WORK/p1-s3.rep" >"$WORK/short.rep"
refused "truncated header" replay "$WORK/short.rep"
{ head -c 15 "$WORK/p1-s3.rep"; printf '\xff\xff\xff\x7f'; } >"$WORK/count.rep"
refused "impossible count" replay "$WORK/count.rep"
printf '\x03\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\xe8\x03\x00\x00\x00\x00\x00\x00' >"$WORK/three.rep"
refused "three players" replay "$WORK/three.rep"
{ printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\xe8\x03\x00\x00\x01\x00\x00\x00'
  printf '\x01\x00\x00\x00\x40\x00\x00\x00\x00\x00\x00\x00\x02'; } >"$WORK/stranger.rep"
refused "an action of a game the recording has not" replay "$WORK/stranger.rep"
refused "directory" replay "$WORK"
refused "no file" replay
refused "bad limit" replay "$WORK/p1-s3.rep" --max-frames lots
refused "missing seed" record --players 1 --level 0 "$WORK/x.rep"
refused "three players to record" record --seed 1 --players 3 --level 0 "$WORK/x.rep"
refused "bad level" record --seed 1 --players 1 --level 7 "$WORK/x.rep"
refused "a limit without its number" replay "$WORK/p1-s3.rep" --max-frames
refused "an unknown option" autoplay --seed 1 --colour red "$WORK/x.rep"
refused "a strength without its name" duel --games 1 --seed 1 --a
refused "soak without minutes" soak --seed 4
refused "unwritable" record --seed 1 --players 1 --level 0 "$WORK/no/such/folder/x.rep"

[ $failures -eq 0 ] && echo "sim_replay: all passed"
exit $((failures > 0))
