#!/bin/bash
# The short form of scripts/soak.sh: ten minutes of game time.
# Usage: soak_short.sh BUILD_DIR SOURCE_DIR
KOLVEX_SOAK_SIM="$1/kolvex-sim" bash "$2/scripts/soak.sh" 10 8
