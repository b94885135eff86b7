#!/usr/bin/env bash
# Draws the program's icon, a gauge, and writes app/dialvox.ico with the sizes Windows asks for:
# 16, 20 and 24 pixels for the title bar and the tray (96, 120 and 144 DPI), 32, 40 and 48 for
# Explorer and Alt+Tab. Each size is drawn 16 times larger and scaled down, and stored as a
# 32-bit image with its transparency mask, as Windows 98 and NT 4.0 read icons too.
#   tools/icon/make-icon.sh      (needs ImageMagick and python3)
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The drawing, as ImageMagick's vector commands, for a square of SIZE pixels.
drawing() {
  python3 - "$1" <<'PY'
import math, sys
size = float(sys.argv[1])
c = size / 2
radius, ring = 0.455 * size, 0.095 * size
print(f"fill #F2F2F2 stroke #1C3F7A stroke-width {ring:.2f} "
      f"circle {c:.2f},{c:.2f} {c:.2f},{c - radius + ring / 2:.2f}")
for degrees in (225, 180, 135, 90, 45, 0, -45):  # the scale's ticks
    a = math.radians(degrees)
    outer, inner = radius - ring * 1.1, radius - ring * 2.0
    print(f"stroke #9AA6BA stroke-width {0.05 * size:.2f} line "
          f"{c + outer * math.cos(a):.2f},{c - outer * math.sin(a):.2f} "
          f"{c + inner * math.cos(a):.2f},{c - inner * math.sin(a):.2f}")
a, length = math.radians(50), 0.33 * size  # the needle
print(f"stroke #D01C1C stroke-linecap round stroke-width {0.085 * size:.2f} line "
      f"{c:.2f},{c:.2f} {c + length * math.cos(a):.2f},{c - length * math.sin(a):.2f}")
print(f"stroke none fill #D01C1C circle {c:.2f},{c:.2f} {c + 0.07 * size:.2f},{c:.2f}")
PY
}

images=()
for size in 16 20 24 32 40 48; do
  drawing $((size * 16)) >"$work/$size.mvg"
  convert-im6.q16 -size $((size * 16))x$((size * 16)) xc:none -draw "@$work/$size.mvg" \
    -filter box -resize "${size}x$size" "png32:$work/$size.png"
  images+=("$work/$size.png")
done
convert-im6.q16 "${images[@]}" app/dialvox.ico
echo "app/dialvox.ico: ${#images[@]} sizes"
