#!/bin/bash
# Kills a program saving a replay, the demo data and the score file with
# SIGKILL at random moments of a slowed save, many times: the file at the
# name is whole every time, the last save or the one before.
# Usage: crash_safe_saves.sh BUILD_DIR SOURCE_DIR
set -u
PROBE="$1/kolvex-save-probe"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
kills=0
midway=0
RANDOM=15

for kind in replay demo score; do
    for round in $(seq 12); do
        file="$WORK/$kind-$round"
        rm -f "$WORK/out"
        KOLVEX_SLOW_SAVES=1 "$PROBE" write "$kind" "$file" >"$WORK/out" 2>&1 &
        pid=$!
        for _ in $(seq 3000); do grep -qs '^saved' "$WORK/out" && break; sleep 0.01; done
        sleep "0.$(printf '%03d' $((RANDOM % 400)))"
        kill -KILL $pid
        wait $pid 2>/dev/null
        kills=$((kills + 1))
        tail -1 "$WORK/out" | grep -q '^writing' && midway=$((midway + 1))
        last=$(grep '^saved' "$WORK/out" | tail -1 | cut -d' ' -f2)
        if [ -z "$last" ]; then
            echo "FAIL: $kind round $round: no save completed: $(head -3 "$WORK/out")"
            failures=$((failures + 1))
            continue
        fi
        if ! "$PROBE" check "$kind" "$file" "$last" >"$WORK/check" 2>&1; then
            echo "FAIL: $kind round $round, killed after save $last: $(cat "$WORK/check")"
            failures=$((failures + 1))
        fi
    done
done
echo "crash_safe_saves: $kills kills, $midway of them in the middle of a save"
[ "$midway" -gt 0 ] || { echo "FAIL: no kill came in the middle of a write"; failures=$((failures + 1)); }
[ $failures -eq 0 ] && echo "crash_safe_saves: every file whole"
exit $((failures > 0))
