#!/bin/bash
# Without a display to open, the game says so and ends with status 1: no
# abort, no core dump.
# Usage: no_display.sh BUILD_DIR SOURCE_DIR
BUILD=$(cd "$1" && pwd)
. "$(dirname "$0")/common.sh"
cases=(
    "DISPLAY= QT_QPA_PLATFORM=xcb|No display is set"
    "DISPLAY=:7391 QT_QPA_PLATFORM=xcb|Is the display :7391 running"
    "QT_QPA_PLATFORM=nonesuch|no Qt platform plugin could be initialized"
)
for c in "${cases[@]}"; do
    settings=${c%%|*} expected=${c#*|}
    (cd "$WORK" && ulimit -c 0 && env -u WAYLAND_DISPLAY HOME="$WORK" $settings \
        timeout 20 "$BUILD/kolvex" >"$WORK/out" 2>&1)
    status=$?
    [ $status -eq 1 ] || fail "$settings: status $status, not 1"
    grep -q "Kolvex cannot start" "$WORK/out" || fail "$settings: no clear message"
    grep -q "$expected" "$WORK/out" || fail "$settings: \"$expected\" is not said"
done
[ $failures -eq 0 ] && echo "no display: a clear message and status 1 in ${#cases[@]} cases"
exit $failures
