#!/usr/bin/env bash
# Installs what is needed, builds the programs into build/ and every test
# under AddressSanitizer and UndefinedBehaviorSanitizer into build-test/,
# then runs all tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build -DKOLVEX_TESTS=OFF -DKOLVEX_BENCH=ON
"$top/scripts/build.sh" build-test -DKOLVEX_SANITIZE=ON -DKOLVEX_TESTS=ON -DKOLVEX_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$top/build-test" --output-on-failure -j"$(nproc)"
