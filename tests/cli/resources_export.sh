#!/bin/bash
# Command-line checks of kolvex-sim export-resources.
# Usage: resources_export.sh BUILD_DIR SOURCE_DIR
SIM="$1/kolvex-sim"
source "$(dirname "$0")/common.sh"

out=$("$SIM" export-resources "$WORK/out" 2>&1) || fail "export-resources exited with $?: $out"
echo "$out"

pictures="GameBkgJPEGImage MenuImage FrameImage ShowBkgJPEGImage SplashImage SmallType1 SmallType2 SmallType3
  SmallType4 SmallType5 SmallType6 SmallType7 SmallType8 GlassImage Zap BrickType0 BrickType1 BrickType2 BrickType3
  BrickType4 BrickType5 BrickType6 LogoImage StartImage TopScoreImage CreditsImage BlueTinselSprite RedTinselSprite
  PurpleTinselSprite TyperMagicA1 TyperMagicA2 TyperMagicA3 TyperMagicB1 TyperMagicB2 TyperMagicB3 RowsSprite
  TimeSprite LevelMark CounterClockwiseGlyph ClockwiseGlyph KolvexIcon"
png_magic=$(printf '\x89PNG')
for name in $pictures ARROWD HAMMER FLIP INVIS BMHAND contact-sheet; do
    f="$WORK/out/$name.png"
    [ -s "$f" ] || { fail "$name.png missing"; continue; }
    [ "$(head -c 4 "$f")" = "$png_magic" ] || fail "$name.png is not a PNG"
done
for name in GameBkgJPEGImage MenuImage FrameImage ShowBkgJPEGImage SplashImage; do
    [ "$(head -c 2 "$WORK/out/$name.jpg" | od -An -tx1 | tr -d ' ')" = "ffd8" ] || fail "$name.jpg is not a JPEG"
done
for c in ARROWD HAMMER FLIP INVIS BMHAND; do
    grep -aq "HotSpot" "$WORK/out/$c.png" || fail "cursor $c lost its hot spot"
done
while read -r name size; do
    [ "$(stat -c %s "$WORK/out/$name.wav" 2>/dev/null)" = "$size" ] || fail "$name.wav is not $size bytes"
done <<'SIZES'
FLIP 532
FLIP4 11684
FLIP3 5872
FLIP2 1956
FLIP1 5226
SIZES
[ "$(ls "$WORK/out"/*.ttf 2>/dev/null | wc -l)" = 12 ] || fail "the twelve fonts were not written"
# The sheet holds every picture at four times its size: it is big.
[ "$(stat -c %s "$WORK/out/contact-sheet.png")" -gt 200000 ] || fail "contact sheet too small"

# A second export gives the same files: the art is the same every time.
"$SIM" export-resources "$WORK/again" >/dev/null 2>&1 || fail "second export failed"
for f in "$WORK/out"/*.jpg "$WORK/out"/*.wav "$WORK/out"/SmallType1.png; do
    cmp -s "$f" "$WORK/again/$(basename "$f")" || fail "$(basename "$f") differs between two exports"
done

# Bad use: one line and status 2.
touch "$WORK/file"
err=$("$SIM" export-resources "$WORK/file/sub" 2>&1 >/dev/null)
rc=$?
[ $rc = 2 ] || fail "an unwritable folder gave status $rc"
[ "$(echo "$err" | wc -l)" = 1 ] || fail "an unwritable folder said: $err"
"$SIM" export-resources >/dev/null 2>&1 && fail "no folder was accepted"

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "export-resources: all checks passed"
