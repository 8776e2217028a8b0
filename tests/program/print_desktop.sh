#!/bin/sh
# A desktop printed to PDF by the program: the sample desktop (a sheet of
# 0.297 x 0.21 m with a frame from (0.01, 0.01) to (0.287, 0.2), pen
# 0.5 mm, among other things) in a graphic window, whose print message runs
# the print dialog with its default button.  At scale 1 on A4 portrait at
# 300 dots per inch the sheet needs two pages side by side, the grid of pages
# centred on it; the frame's edges are read back from the PDF with pdftoppm.
# $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

{
  print_script
  echo "CLOSE()"
} > print.oil
KESTX_PRINT_FILE=tisk.pdf run 0 print.oil
grep -qx "Tiskový dialog" out.txt || fail "the print dialog was not shown"
grep -q "Problémy" out.txt && fail "the print reported problems"
check <<'EOF'
from program_results import *
dpi = 300
per_metre = dpi / 0.0254
page_w, page_h = round(0.210 * per_metre), round(0.297 * per_metre)
sheet = (0.0, 0.0, 0.297, 0.21)
frame = (0.01, 0.01, 0.287, 0.2)
if pdf_pages("tisk.pdf") != 2:
    fail("the PDF has %d pages" % pdf_pages("tisk.pdf"))
# Two pages of paper side by side, as a whole centred on the sheet.
shift_x = (sheet[0] + sheet[2]) / 2 - 0.21
shift_y = (sheet[1] + sheet[3]) / 2 - 0.297 / 2
def device(page, x, y):
    centre_x = sheet[0] + 0.21 * (page - 0.5) + shift_x
    centre_y = sheet[1] + 0.297 / 2 + shift_y
    return (round_to_pixel((x - centre_x) * per_metre + page_w // 2),
            round_to_pixel((centre_y - y) * per_metre + page_h // 2))
# Each edge crossed where nothing else of the sheet is near.  A rectangle
# (L, T, R, B) covers L .. R - 1 by T .. B - 1 and its pen lies inside it:
# its first pixel inside and two further in are inked, ten outside and
# twelve inside are paper.  (page, the crossing's world x, y, whether the
# edge is vertical, the step inwards)
white, black = (255, 255, 255), (0, 0, 0)
crossings = [
    (1, frame[0], 0.1, True, 1),    # left edge, halfway up
    (1, 0.015, frame[3], False, 1),  # top edge, left of the title
    (1, 0.015, frame[1], False, -1), # bottom edge
    (2, frame[2], 0.1, True, -1),   # right edge
    (2, 0.285, frame[3], False, 1),  # top edge, right of the title
]
for page, x, y, vertical, inward in crossings:
    xs, ys = device(page, x, y)
    for ex in xs:
        for ey in ys:
            part = pdf_part("tisk.pdf", page, dpi, ex - 20, ey - 20, 41, 41, "part")
            first = (ex if vertical else ey) - (1 if inward < 0 else 0)
            def at(step):
                return part.pixel(first + step, ey) if vertical else part.pixel(ex, first + step)
            found = (at(0), at(2 * inward), at(-10 * inward), at(12 * inward))
            if found == (black, black, white, white):
                break
        else:
            continue
        break
    else:
        fail("page %d, edge through (%g, %g) at %s, %s: %s" % (page, x, y, xs, ys, found))
EOF
exit 0
