#!/bin/bash
# Command-line checks of kolvex-sim resolve, bricks and rng.
# Usage: sim_model.sh BUILD_DIR SOURCE_DIR
SIM="$1/kolvex-sim"
source "$(dirname "$0")/common.sh"

le32() {
    local v=$(($1 & 0xFFFFFFFF))
    printf '%b' "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) \
        $((v >> 16 & 255)) $((v >> 24 & 255)))"
}
byte() { printf '%b' "$(printf '\\x%02x' "$1")"; }

# playfield FILE ROW...: writes the stream form of a playfield whose bottom
# rows are drawn as in the model tests ("." empty, 1-7 colour, B bobble,
# C clean-mode cell); the last ROW is row 19.
playfield() {
    local file=$1
    shift
    local rows=("$@") first=$((20 - $#)) records=()
    local x i c
    for ((x = 0; x < 10; x++)); do
        for ((i = 0; i < ${#rows[@]}; i++)); do
            c=${rows[i]:x:1}
            case "$c" in
            B) records+=("$x $((first + i)) 4 0") ;;
            C) records+=("$x $((first + i)) 2 1") ;;
            [1-7]) records+=("$x $((first + i)) 1 $c") ;;
            esac
        done
    done
    {
        le32 1
        le32 ${#records[@]}
        local r
        for r in "${records[@]}"; do
            set -- $r
            le32 "$1"
            le32 "$2"
            byte "$3"
            le32 0
            byte "$4"
        done
    } >"$file"
}

# resolve NAME EXPECTED_OUTPUT EXPECTED_ROWS... -- SIM_OPTIONS... : runs
# resolve on $WORK/NAME.in and compares its output and the written playfield.
resolve() {
    local name=$1 expected=$2
    shift 2
    local rows=()
    while [ "$1" != "--" ]; do
        rows+=("$1")
        shift
    done
    shift
    playfield "$WORK/$name.expected" "${rows[@]}"
    local out
    out=$("$SIM" resolve "$@" "$WORK/$name.in" "$WORK/$name.out" 2>"$WORK/$name.err")
    local status=$?
    [ $status -eq 0 ] || fail "$name: exit status $status ($(cat "$WORK/$name.err"))"
    [ "$out" == "$expected" ] || fail "$name: printed '$out', expected '$expected'"
    [ -s "$WORK/$name.err" ] && fail "$name: wrote to stderr: $(cat "$WORK/$name.err")"
    cmp -s "$WORK/$name.out" "$WORK/$name.expected" || fail "$name: resulting playfield differs"
}

# refused NAME ARGS...: kolvex-sim ARGS must print one line on stderr, nothing
# on stdout, and exit with status 2.
refused() {
    local name=$1
    shift
    local out
    out=$(timeout 20 "$SIM" "$@" 2>"$WORK/refused.err")
    local status=$?
    [ $status -eq 2 ] || fail "$name: exit status $status, expected 2"
    [ -z "$out" ] || fail "$name: printed '$out'"
    [ "$(wc -l <"$WORK/refused.err")" -eq 1 ] || fail "$name: stderr was '$(cat "$WORK/refused.err")'"
}

# --- resolve ---------------------------------------------------------------------

# One bobble between two areas of different colours: both areas and all three
# bobbles go, the 5 that stood on the 3 falls one row.
playfield "$WORK/three.in" ".5........" "B33B44B..."
resolve three $'lines 0\nzapped 5\noffered 4 1,19 2,19 4,19 5,19' ".5........" -- 

# A full line, the 2 above it falls between the bobbles, and the new area of
# 2 goes in a second pass; only that cell is offered.
playfield "$WORK/cascade.in" ".2........" "1212121212" "B.B......."
resolve cascade $'lines 1\nzapped 9\noffered 1 1,19' -- 

# Only cells in rows 10 to 19 are offered.
playfield "$WORK/half.in" ".3........" "B33B......" "4..4......" "4..4......" "4..4......" \
    "4..4......" "4..4......" "4..4......" "4..4......" "4..4......" "4..4......"
resolve half $'lines 0\nzapped 3\noffered 2 1,10 2,10' "4..4......" "4..4......" "4..4......" \
    "4..4......" "4..4......" "4..4......" "4..4......" "4..4......" "4..4......" --

# Two lines over two passes; with the switch off nothing happens.
playfield "$WORK/lines.in" "....5....." "1111111111" "2222.22222"
resolve lines $'lines 2\nzapped 16\noffered 0' -- 
cp "$WORK/lines.in" "$WORK/nolines.in"
resolve nolines $'lines 0\nzapped 0\noffered 0' "....5....." "1111111111" "2222.22222" -- \
    --no-zap-lines

# Two bobbles side by side: gone, but the pass counts 0 and ends the cascade
# although the falling 3 completes the bottom row.
playfield "$WORK/pair.in" "...3......" "...BB....." "111.111111"
resolve pair $'lines 0\nzapped 0\noffered 0' "1113111111" --

# Free bobbles float away only with the switch.
playfield "$WORK/glass.in" "....2....." "B...B....." "1...1....."
resolve glass $'lines 0\nzapped 0\noffered 0' "....2....." "....B....." "1...1....." -- \
    --raise-bobbles
cp "$WORK/glass.in" "$WORK/noglass.in"
resolve noglass $'lines 0\nzapped 0\noffered 0' "....2....." "B...B....." "1...1....." --

# Damaged or unusable input: one line on stderr, status 2, no output file.
{ le32 1; le32 2; le32 0; le32 19; byte 1; le32 0; byte 3; le32 4; } >"$WORK/short.in"
refused truncated resolve "$WORK/short.in" "$WORK/short.out"
[ -e "$WORK/short.out" ] && fail "truncated: an output file was written"
{ le32 1; le32 1; le32 10; le32 19; byte 1; le32 0; byte 3; } >"$WORK/outside.in"
refused outside resolve "$WORK/outside.in" "$WORK/outside.out"
{ le32 1; le32 1; le32 3; le32 -1; byte 1; le32 0; byte 3; } >"$WORK/above.in"
refused above resolve "$WORK/above.in" "$WORK/above.out"
{ le32 1; le32 0; byte 7; } >"$WORK/trailing.in"
refused trailing resolve "$WORK/trailing.in" "$WORK/trailing.out"
: >"$WORK/empty.in"
refused empty resolve "$WORK/empty.in" "$WORK/empty.out"
refused missing resolve "$WORK/no-such-file" "$WORK/missing.out"
refused directory resolve "$WORK" "$WORK/directory.out"
refused unwritable resolve "$WORK/three.in" "$WORK/no-such-folder/out"
refused one-file resolve "$WORK/three.in"
refused option resolve --zap-lines "$WORK/three.in" "$WORK/option.out"
# A huge count with garbage behind it ends at the first bad record.
{ le32 1; le32 2147483647; head -c 100000 /dev/urandom; } >"$WORK/garbage.in"
refused garbage resolve "$WORK/garbage.in" "$WORK/garbage.out"
refused endless resolve /dev/zero "$WORK/endless.out"
# An empty well stays empty.
playfield "$WORK/nothing.in"
resolve nothing $'lines 0\nzapped 0\noffered 0' --
[ "$(stat -c %s "$WORK/nothing.out")" -eq 8 ] || fail "empty playfield is not 8 bytes"

# --- rng and bricks --------------------------------------------------------------

[ "$("$SIM" rng 0 100 5 | tr '\n' ' ')" == "0 3 86 20 27 " ] || fail "rng 0 100 5"

# Bricks draw random(total) once per kind: each kind is the bucket of the
# cumulative weights that the same draw from rng falls into.
bucket() {
    local bounds=($1) r
    while read -r r; do
        local kind=0
        while [ "$r" -ge "${bounds[kind]}" ]; do kind=$((kind + 1)); done
        echo $kind
    done
}
for seed in 0 1 123456789 4294967295; do
    [ "$("$SIM" bricks $seed 0 300)" == "$("$SIM" rng $seed 71 300 | bucket "15 30 40 47 54 64 71")" ] ||
        fail "bricks $seed at score 0"
    [ "$("$SIM" bricks $seed 5000 300)" == "$("$SIM" rng $seed 73 300 | bucket "15 30 40 47 54 63 73")" ] ||
        fail "bricks $seed at score 5000"
    [ "$("$SIM" bricks $seed 11000 300)" == "$("$SIM" rng $seed 71 300 | bucket "15 30 40 47 54 57 71")" ] ||
        fail "bricks $seed at score 11000"
done
[ "$("$SIM" bricks 7 0 0 | wc -c)" -eq 0 ] || fail "bricks with count 0"
refused bricks-args bricks 1 2
refused bricks-seed bricks -1 0 5
refused bricks-score bricks 1 2147483648 5
refused bricks-count bricks 1 0 many
refused rng-args rng 1 2

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all kolvex-sim model checks passed"
