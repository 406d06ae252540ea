#!/usr/bin/env bash
# Installs what is needed, builds the game into build/ and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build -DKOLVEX_TESTS=OFF -DKOLVEX_BENCH=OFF
exec "$top/build/kolvex" "$@"
