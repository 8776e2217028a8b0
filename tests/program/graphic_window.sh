#!/bin/sh
# A block drawn in a graphic window of the program: a form-tool manager over
# the model of samples/condition_filter, drawn by the default symbology and
# saved as a bitmap.  The block's four lines run from (10n, 0) to (10n + 2, 1)
# in the model (n = 1 .. 4), each plain, in colour code n.  The window fits
# the model's extent onto its page, so every pixel of the lines follows from
# the picture's size alone.
# $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

{
  model_script
  cat <<'EOF'
; A layer read from blocks has no extent of its own: it is worked out here,
; from the lines up, so that the window has something to fit.
WORLD.ObjectModel.MODEL.FINDELEMENTBYCLASS(InterpretLayer).FINDELEMENTBYCLASS(PolyLineString).UpdateNoReset = 'True'
WORLD.ObjectModel.MODEL.FINDELEMENTBYCLASS(InterpretLayer).UpdateNoReset = 'True'
WORLD.ObjectModel.MODEL.UpdateNoReset = 'True'
G:TFormToolManager = CREATE(FormToolManager, 'Okno')
G.InterpretScript = UniversalLumarScriptCreator()
G.PageColor = '16777215'
G.Input = WORLD.ObjectModel.MODEL
G.DOIT()
G.SaveToFile = 'okno.bmp'
CLOSE()
EOF
} > window.oil
run 0 window.oil
check <<'EOF'
from program_results import *
picture = bmp("okno.bmp")
w, h = picture.width, picture.height
# The default colour table: navy, green, teal, maroon for codes 1 to 4.
colours = {1: (0, 0, 128), 2: (0, 128, 0), 3: (0, 128, 128), 4: (128, 0, 0)}
lines = {n: ((10.0 * n, 0.0), (10.0 * n + 2, 1.0)) for n in colours}
# The fit: the larger of the two scales that fill the page's width and
# height, centred on the extent's centre at the page's centre pixel.
min_x, max_x, min_y, max_y = 10.0, 42.0, 0.0, 1.0
size = max((max_x - min_x) / w, (max_y - min_y) / h)  # metres a pixel
origin_x = (min_x + max_x) / 2 - (w // 2) * size
origin_y = (min_y + max_y) / 2 + (h // 2) * size
def device(point):
    return round_to_pixel((point[0] - origin_x) / size), round_to_pixel((origin_y - point[1]) / size)

seen = {}
for y in range(h):
    for x in range(w):
        colour = picture.pixel(x, y)
        if colour != (255, 255, 255):
            seen.setdefault(colour, []).append((x, y))
unknown = set(seen) - set(colours.values())
if unknown:
    fail("colours drawn that no line has: " + str(sorted(unknown)))
for n, (start, end) in lines.items():
    (xs0, ys0), (xs1, ys1) = device(start), device(end)
    pixels = seen.get(colours[n], [])
    # A line leaves out its end pixel: one pixel a column from its start
    # to before its end (the lines are flatter than steep), on the page.
    lengths = {min(x1, w) - x0 for x0 in xs0 for x1 in xs1}
    if len(pixels) not in lengths:
        fail("line %d: %d pixels, not one of %s" % (n, len(pixels), sorted(lengths)))
    if not any((x, y) in pixels for x in xs0 for y in ys0):
        fail("line %d does not start at %s, %s: %s" % (n, xs0, ys0, pixels[:3]))
    left, right = min(xs0), max(xs1)
    top, bottom = min(ys1), max(ys0)
    stray = [p for p in pixels if not (left <= p[0] <= right and top <= p[1] <= bottom)]
    if stray:
        fail("line %d has pixels off its way: %s" % (n, stray[:5]))
EOF
exit 0
