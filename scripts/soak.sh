#!/usr/bin/env bash
# A long headless two-player session under AddressSanitizer and
# UndefinedBehaviorSanitizer: computer and random-key players, game after
# game in one process, for MINUTES of game time (default 60; it runs far
# faster than real time). Reports the memory after the first game and at the
# end; fails on any sanitizer report or when memory grew by more than LIMIT_MB
# (default 8).
# Usage: scripts/soak.sh [MINUTES] [LIMIT_MB]   (uses build-test/kolvex-sim, built when missing)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-60}
limit_mb=${2:-8}
sim=${KOLVEX_SOAK_SIM:-$top/build-test/kolvex-sim}
if [ ! -x "$sim" ]; then
  "$top/scripts/build.sh" build-test -DKOLVEX_SANITIZE=ON -DKOLVEX_TESTS=ON -DKOLVEX_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug || exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# No quarantine: freed memory comes back at once, so what grows is what is kept.
export ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=0:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$sim" soak --minutes "$minutes" >"$work/out" 2>"$work/err"
status=$?
tail -1 "$work/out"
if [ $status -ne 0 ] || grep -q "runtime error\|ERROR: AddressSanitizer" "$work/err"; then
  echo "FAIL: the soak ended with status $status"
  head -40 "$work/err"
  exit 1
fi
read -r first last < <(sed -n 's/.*after the first game \([0-9]*\) kB, at the end \([0-9]*\) kB.*/\1 \2/p' "$work/out")
grown=$(((last - first) / 1024))
echo "memory grew by ${grown} MB (limit ${limit_mb} MB)"
[ "$grown" -le "$limit_mb" ] || { echo "FAIL: memory grew"; exit 1; }
