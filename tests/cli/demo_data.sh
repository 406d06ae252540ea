#!/bin/bash
# The shipped demo: a real game of the computer player, which replays to the
# very end that the computer player reaches again from its seed.
# Usage: demo_data.sh BUILD_DIR SOURCE_DIR
set -u
SIM="$1/kolvex-sim"
DEMO="$2/ui/DemoData.dat"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

[ -s "$DEMO" ] || { echo "FAIL: $DEMO is missing"; exit 1; }
[ -s "$1/DemoData.dat" ] && { cmp -s "$DEMO" "$1/DemoData.dat" || fail "the demo beside the program is not ui/DemoData.dat"; }

# Header: one player, Speed, level 1, clockwise, normal speed.
header=$(head -c 11 "$DEMO" | od -An -tx1 | tr -d ' \n')
[ "$header" = "0100000000000000000100" ] || fail "unexpected demo settings: $header"

"$SIM" autoplay --seed 2 --players 1 --level 0 "$WORK/again.dat" > "$WORK/played.txt" 2>&1 ||
    fail "autoplay exited with $?: $(tail -n 2 "$WORK/played.txt")"

"$SIM" replay "$DEMO" > "$WORK/replayed.txt" 2>&1 || fail "replay exited with $?"
head -n 21 "$WORK/played.txt" | cmp -s - "$WORK/replayed.txt" ||
    fail "the demo no longer replays the computer player's game: regenerate it with" \
        "kolvex-sim autoplay --seed 2 --players 1 --level 0 ui/DemoData.dat"
first=$(head -n 1 "$WORK/replayed.txt")
echo "demo: $first"
case "$first" in
"game 0 score "*" stopped 0") ;;
*) fail "the demo game should end by itself: $first" ;;
esac
score=$(echo "$first" | awk '{print $4}')
[ "${score:-0}" -ge 3000 ] || fail "the demo game scores too little to show much: $score"
grep -E '^player 0 ' "$WORK/played.txt" | awk '{ if ($6 < 5 || $8 < 5) exit 1 }' ||
    fail "the demo shows too few lines or bobble areas: $(grep '^player' "$WORK/played.txt")"

[ $failures -eq 0 ] && echo "demo data: all checks passed"
exit $failures
