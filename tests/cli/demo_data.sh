#!/bin/bash
# The shipped demo: three minutes of a real two-player game of computer
# players, which replays to the very end that they reach again from its seed,
# and shows lines, bobble areas zapped and cells teleported between the wells.
# Usage: demo_data.sh BUILD_DIR SOURCE_DIR
SIM="$1/kolvex-sim"
DEMO="$2/ui/DemoData.dat"
source "$(dirname "$0")/common.sh"

[ -s "$DEMO" ] || { echo "FAIL: $DEMO is missing"; exit 1; }
[ -s "$1/DemoData.dat" ] && { cmp -s "$DEMO" "$1/DemoData.dat" || fail "the demo beside the program is not ui/DemoData.dat"; }

# Header: two players, Speed, level 1, clockwise, normal speed.
header=$(head -c 11 "$DEMO" | od -An -tx1 | tr -d ' \n')
[ "$header" = "0200000000000000000100" ] || fail "unexpected demo settings: $header"

MAKE="kolvex-sim autoplay --seed 2 --players 2 --level 0 --max-frames 4500"
"$SIM" ${MAKE#kolvex-sim } "$WORK/again.dat" > "$WORK/played.txt" 2>&1 ||
    fail "autoplay exited with $?: $(tail -n 2 "$WORK/played.txt")"

"$SIM" replay "$DEMO" --teleports > "$WORK/replayed.txt" 2>&1 || fail "replay exited with $?"
head -n 42 "$WORK/played.txt" | cmp -s - <(head -n 42 "$WORK/replayed.txt") ||
    fail "the demo no longer replays the computer players' game: regenerate it with" \
        "$MAKE ui/DemoData.dat"
grep '^game' "$WORK/replayed.txt" | sed 's/^/demo: /'
grep '^game' "$WORK/replayed.txt" | awk '{ if ($4 < 2000) exit 1 }' ||
    fail "a demo game scores too little to show much"
grep -E '^player ' "$WORK/played.txt" | awk '{ if ($6 < 5 || $8 < 5) exit 1 }' ||
    fail "the demo shows too few lines or bobble areas: $(grep '^player' "$WORK/played.txt")"
teleported=$(awk '/^teleported/ { print $3 }' "$WORK/replayed.txt")
[ "${teleported:-0}" -ge 50 ] || fail "the demo teleports too few cells: ${teleported:-none}"

[ $failures -eq 0 ] && echo "demo data: all checks passed"
exit $failures
