#!/bin/sh
# The main job as the README runs it: the sample guide exported headless into
# the six blocks, one frame line per chosen sheet (TN.LIN: 103 bytes a record
# after the dummy record 0), each frame read back vertex by vertex and laid
# against the corners of its sheet as the sheet series defines them, and the
# options written on quit.  $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

mkdir -p export samples && cp -r "$samples/guide" samples/ && mv kestx.ini export/
KESTX_UNATTENDED=1 QT_QPA_PLATFORM=offscreen "$program" export/kestx.ini "$samples/main_job/export.oil" > out.txt 2> err.txt ||
  fail "the main job ended with $?"
for block in 50:1 25:2 10:3 5:3 2:2 User:3; do
  [ "$(stat -c %s "export/${block%%:*}.BLK/TN.LIN")" -eq $(( (${block#*:} + 1) * 103 )) ] ||
    fail "${block%%:*}.BLK does not hold ${block#*:} lines"
done
grep -q 'Export_User=True' export/kestx.ini || fail "the options were not written on quit"

check <<'EOF'
from program_results import fail, line_vertices

# Sheets as model rectangles (min x, min y, max x, max y).  The guide's
# 1:50 000 sheet is column 26, row 53 of the national grid, whose system
# negates both coordinates; c, r count 1:5 000 columns westwards and rows
# southwards inside it.
S50 = (-(26 * 25000 + 25000), -(53 * 20000 + 20000), -26 * 25000, -53 * 20000)


def sheet10(c, r):
    max_x, max_y = S50[2] - c // 2 * 5000, S50[3] - r // 2 * 4000
    return (max_x - 5000, max_y - 4000, max_x, max_y)


def sheet5(c, r):
    above = sheet10(c, r)
    max_x, max_y = above[2] - c % 2 * 2500, above[3] - r % 2 * 2000
    return (max_x - 2500, max_y - 2000, max_x, max_y)


def quarter2(sheet, west, south):
    max_x, max_y = sheet[2] - west * 1250, sheet[3] - south * 1000
    return (max_x - 1250, max_y - 1000, max_x, max_y)


# Quarter 2 of a 1:50 000 sheet is its north-east, 3 its south-west.
QUARTER25 = {2: (S50[0] + 12500, S50[1] + 10000, S50[2], S50[3]), 3: (S50[0], S50[1], S50[0] + 12500, S50[1] + 10000)}

expected = {
    "50": [S50],
    "25": [QUARTER25[2], QUARTER25[3]],
    "10": [sheet10(0, 0), sheet10(2, 4), sheet10(8, 8)],
    "5": [sheet5(0, 0), sheet5(1, 1), sheet5(3, 5)],
    "2": [quarter2(sheet5(1, 1), 1, 1), quarter2(sheet5(1, 1), 0, 0)],
    # Every user map space, chosen or not.
    "User": [(-670000, -1075000, -667500, -1072000), (-662000, -1068000, -656000, -1064000),
             (-660000, -1078000, -659000, -1077000)],
}


def frame(sheet):
    """The closed frame round a sheet, in the block's coordinates (the
    model's negated)."""
    min_x, min_y, max_x, max_y = sheet
    return [(-x, -y) for x, y in ((min_x, min_y), (max_x, min_y), (max_x, max_y), (min_x, max_y), (min_x, min_y))]


for block, sheets in expected.items():
    read = sorted(line_vertices("export/" + block + ".BLK"))
    want = sorted(frame(sheet) for sheet in sheets)
    if read != want:
        fail(block + ".BLK holds the frames " + str(read) + ", not " + str(want))
EOF
exit 0
