#!/usr/bin/env bash
# Configures (once) and builds one build folder: scripts/build.sh DIR [CMAKE OPTIONS...]
set -euo pipefail
dir=$1; shift
top=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$top/$dir/build.ninja" ]; then
  cmake -S "$top" -B "$top/$dir" -G Ninja "$@" >/dev/null
fi
cmake --build "$top/$dir" -- -j"$(nproc)"
