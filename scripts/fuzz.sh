#!/usr/bin/env bash
# Runs the libFuzzer targets (fuzz/), each for a given time, from a seed
# corpus of real files: the shipped demo, recordings made by kolvex-sim
# record, score files, playfields and settings values written by the
# program's own writers, the built-in sounds and pictures, and every input
# kept from an earlier finding (fuzz/regressions/TARGET/). Prints one line per
# target: seconds, executions, corpus size and findings.
#
# Usage: scripts/fuzz.sh [--seconds N | --runs N --seed S] [--build DIR] [--sim KOLVEX_SIM] [--corpus DIR] [TARGET...]
#   --seconds  time per target (default 60), from a random seed
#   --runs     instead, this many inputs per target from libFuzzer's seed S:
#              the same inputs on every run (the test suite's form), with
#              --seconds as a limit only
#   --build    the clang build of the targets (default build-fuzz, built when missing)
#   --sim      kolvex-sim of a normal build (default build/kolvex-sim; without it
#              fewer seeds)
#   --corpus   where each target's corpus grows from run to run (default: a
#              fresh folder per run)
# Targets: replay score_file settings playfield wave jpeg (default: all).
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
runs=-1
seed=0
build="$top/build-fuzz"
sim="$top/build/kolvex-sim"
corpus=""
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
  --seconds) seconds=$2; shift 2 ;;
  --runs) runs=$2; shift 2 ;;
  --seed) seed=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  --sim) sim=$2; shift 2 ;;
  --corpus) corpus=$2; shift 2 ;;
  -*) echo "unknown option $1" >&2; exit 2 ;;
  *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(replay score_file settings playfield wave jpeg)

if [ ! -x "$build/fuzz_replay" ]; then
  command -v clang++-14 >/dev/null || { echo "fuzz.sh: clang++-14 is not installed" >&2; exit 2; }
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DKOLVEX_FUZZ=ON \
    -DKOLVEX_TESTS=OFF -DKOLVEX_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 2
  cmake --build "$build" --target kolvex_fuzzers || exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" && chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

have_sim=0
[ -x "$sim" ] && have_sim=1
if [ $have_sim = 1 ]; then
  "$sim" export-resources "$work/resources" >/dev/null 2>&1 || have_sim=0
fi

# seeds TARGET DIR: the real files the target starts from.
seeds() {
  local target=$1 dir=$2
  mkdir -p "$dir"
  KOLVEX_FUZZ_SEEDS="$dir" "$build/fuzz_$target" -runs=0 >/dev/null 2>&1
  case "$target" in
  replay)
    cp "$top/ui/DemoData.dat" "$dir/"
    if [ $have_sim = 1 ]; then
      for s in 1 2 3 4; do
        "$sim" record --seed $s --players $((s % 2 + 1)) --level $((s % 5)) --inputs $((s * 3)) \
          "$dir/recorded-$s.rep" >/dev/null 2>&1
      done
    fi ;;
  wave) [ $have_sim = 1 ] && cp "$work/resources/"*.wav "$dir/" ;;
  jpeg) [ $have_sim = 1 ] && cp "$work/resources/"*.jpg "$dir/" ;;
  esac
  if [ -d "$top/fuzz/regressions/$target" ]; then cp "$top/fuzz/regressions/$target/"* "$dir/" 2>/dev/null; fi
  return 0
}

printf '%-11s %8s %12s %8s  %s\n' target seconds executions corpus findings
failures=0
for target in "${targets[@]}"; do
  binary="$build/fuzz_$target"
  [ -x "$binary" ] || { echo "fuzz.sh: no target $target in $build" >&2; failures=$((failures + 1)); continue; }
  seeds "$target" "$work/seeds/$target"
  dir=${corpus:+$corpus/$target}
  dir=${dir:-$work/corpus/$target}
  mkdir -p "$dir" "$work/findings/$target"
  # Every kept finding first, on its own: it must pass before anything else runs.
  if [ -d "$top/fuzz/regressions/$target" ] && ls "$top/fuzz/regressions/$target/"* >/dev/null 2>&1; then
    "$binary" "$top/fuzz/regressions/$target/"* >"$work/$target-regressions.log" 2>&1 ||
      { echo "$target: a kept finding fails again"; tail -30 "$work/$target-regressions.log"; failures=$((failures + 1)); continue; }
  fi
  "$binary" -max_total_time="$seconds" -runs="$runs" -seed="$seed" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$work/findings/$target/" \
    "$dir" "$work/seeds/$target" >"$work/$target.log" 2>&1
  status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log" | tail -1)
  size=$(find "$dir" -type f | wc -l)
  found=$(find "$work/findings/$target" -type f | wc -l)
  printf '%-11s %8s %12s %8s  %s\n' "$target" "$seconds" "${execs:-?}" "$size" "$found"
  if [ $status -ne 0 ] || [ "$found" -gt 0 ]; then
    failures=$((failures + 1))
    grep -m1 -A25 "ERROR\|==ERROR\|runtime error\|deadly signal\|timeout" "$work/$target.log"
    mkdir -p "$top/build-fuzz-findings/$target"
    cp "$work/findings/$target/"* "$top/build-fuzz-findings/$target/" 2>/dev/null
    echo "$target: findings kept in build-fuzz-findings/$target"
  fi
done
exit $((failures > 0))
