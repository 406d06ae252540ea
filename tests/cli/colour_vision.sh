#!/bin/bash
# The seven marked cells stay told apart under the colour-vision simulations
# (tools/colour-vision.py), from the pictures and from a picture showing them.
# Usage: colour_vision.sh BUILD_DIR SOURCE_DIR
SCRIPT="$2/tools/colour-vision.py"
PICTURES="$1/resources/generated/pictures"
source "$(dirname "$0")/common.sh"

out=$(python3 "$SCRIPT" measure "$PICTURES" 2>&1) || fail "measure exited with $?"
echo "$out"
echo "$out" | grep -q "every pair differs visibly in every view" || fail "measure gave no verdict"

python3 "$SCRIPT" sheet "$PICTURES" "$WORK/sheet.png" || fail "sheet exited with $?"
out=$(python3 "$SCRIPT" measure "$PICTURES" "$WORK/sheet.png" 2>&1) || fail "measure of the sheet: $out"
echo "$out" | grep -q "marked magenta cell found at" || fail "the sheet's cells were not found"

# Magenta drawn as blue: that pair, and only that pair, is refused.
mkdir -p "$WORK/alike"
cp "$PICTURES"/SmallType?.png "$PICTURES"/MarkedSmallType?.png "$WORK/alike/"
cp "$PICTURES/SmallType6.png" "$WORK/alike/SmallType7.png"
cp "$PICTURES/MarkedSmallType6.png" "$WORK/alike/MarkedSmallType7.png"
python3 "$SCRIPT" measure "$WORK/alike" >"$WORK/alike.txt" 2>&1
[ $? -eq 1 ] || fail "two cells drawn alike were not refused"
grep -q "^4 pair(s) not told apart" "$WORK/alike.txt" || fail "not one pair per view: $(cat "$WORK/alike.txt")"
[ "$(grep -c "pairs not told apart: blue/magenta$" "$WORK/alike.txt")" = 4 ] || fail "the pair was not named"

python3 "$SCRIPT" simulate "$WORK/sheet.png" "$WORK/sim" || fail "simulate exited with $?"
for view in protanopia deuteranopia tritanopia side-by-side; do
    [ -s "$WORK/sim/sheet-$view.png" ] || fail "sheet-$view.png missing"
done
[ $failures -eq 0 ] && echo "colour vision checks passed"
exit $failures
