#!/bin/bash
# kolvex-sim duel: one line per game and a summary that adds up; bad strengths refused.
# Usage: sim_duel.sh BUILD_DIR SOURCE_DIR
set -u
SIM="$1/kolvex-sim"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

out=$("$SIM" duel --a easy --b random --games 3 --seed 11) || fail "duel exited with $?"
echo "$out"
games=$(echo "$out" | grep -cE '^game [0-9]+ seed [0-9]+ a [0-9]+ b [0-9]+ winner (a|b|draw)$')
[ "$games" -eq 3 ] || fail "expected 3 game lines, got $games"
echo "$out" | tail -n 1 | grep -qE '^a won [0-9]+, b won [0-9]+, drawn [0-9]+$' || fail "no summary line"
sum=$(echo "$out" | tail -n 1 | awk '{print $3 + $6 + $8}')
[ "$sum" -eq 3 ] || fail "the summary counts $sum games"
again=$("$SIM" duel --a easy --b random --games 3 --seed 11)
[ "$out" = "$again" ] || fail "the same seed plays other games"

"$SIM" duel --a expert --b easy --games 1 --seed 1 2> /dev/null
[ $? -eq 2 ] || fail "an unknown strength is not refused"
"$SIM" duel --a easy --b easy --seed 1 2> /dev/null
[ $? -eq 2 ] || fail "a missing --games is not refused"

[ $failures -eq 0 ] && echo "duel: all checks passed"
exit $failures
