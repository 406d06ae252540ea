#!/usr/bin/env bash
# Installs what is needed, builds the programs into build/ and every test
# under AddressSanitizer and UndefinedBehaviorSanitizer into build-test/,
# then runs all tests; with clang there, also a short run of every fuzz
# target (build-fuzz/).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build -DKOLVEX_TESTS=OFF -DKOLVEX_BENCH=ON
"$top/scripts/build.sh" build-test -DKOLVEX_SANITIZE=ON -DKOLVEX_TESTS=ON -DKOLVEX_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$top/build-test" --output-on-failure -j"$(nproc)"
if command -v clang++-14 >/dev/null; then
  if [ ! -f "$top/build-fuzz/build.ninja" ]; then
    cmake -S "$top" -B "$top/build-fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DKOLVEX_FUZZ=ON \
      -DKOLVEX_TESTS=OFF -DKOLVEX_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$top/build-fuzz" --target kolvex_fuzzers -- -j"$(nproc)"
  ctest --test-dir "$top/build-fuzz" --output-on-failure
fi
