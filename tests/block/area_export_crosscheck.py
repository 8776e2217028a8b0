"""Reads the attribute tables of a block written by area_export_writer with
python3-dbfread, an independent dBASE reader: the areas' numbers, kinds,
label points (X = -refY, Y = -refX), areas in hectares, the values taken
from the area under the label and the stand group's keys; the lines'
numbers, kinds and lengths in the table of the export's line kind."""
import os
import subprocess
import sys
import tempfile

from dbfread import DBF

LEFT = {"DRUH": 12, "X": -50.0, "Y": -50.0, "PLOCHA": 1.0, "ZDROJ": 77, "ZDROJDRUH": 9,
        "LHC": "LHC1", "ODDELENI": "12", "DILEC": "A", "POROST": "1", "SKUPINA": "1a", "NALEHAV": 3}
RIGHT = {"DRUH": 12, "X": -50.0, "Y": -150.0, "PLOCHA": 1.0, "ZDROJ": None, "ZDROJDRUH": None,
         "LHC": "", "ODDELENI": "", "DILEC": "", "POROST": "", "SKUPINA": "", "NALEHAV": 0}


def check_areas(folder, failures):
    records = [dict(r) for r in DBF(os.path.join(folder, "P0012.DBF"), load=True).records]
    if sorted(r["CISLO"] for r in records) != [1, 2]:
        failures.append("area numbers %r" % [r["CISLO"] for r in records])
    for record in records:
        want = LEFT if record["Y"] == -50.0 else RIGHT
        for name, value in want.items():
            if record.get(name) != value:
                failures.append("area %s %s: %r, expected %r" % (record["CISLO"], name, record.get(name), value))


def check_lines(folder, failures):
    records = [dict(r) for r in DBF(os.path.join(folder, "L0005.DBF"), load=True).records]
    if sorted(r["CISLO"] for r in records) != [1, 2, 3]:
        failures.append("line numbers %r" % [r["CISLO"] for r in records])
    # The table L0005 is the export's kind; the field keeps the line's own.
    if any(r["DRUH"] != 4 for r in records):
        failures.append("line kinds %r" % [r["DRUH"] for r in records])
    if sorted(r["DELKA"] for r in records) != [100.0, 300.0, 300.0]:
        failures.append("line lengths %r" % [r["DELKA"] for r in records])


def check_sample(folder, samples, failures):
    """samples/blocks/XY.BLK is what the writer writes; its tables carry the
    day they were written, so only the block's own files are compared."""
    sample = os.path.join(samples, "blocks", "XY.BLK")
    for name in ("TN.CRD", "TN.LIN", "TN.ARE"):
        with open(os.path.join(folder, name), "rb") as got, open(os.path.join(sample, name), "rb") as want:
            if got.read() != want.read():
                failures.append("%s differs from the sample's" % name)


def main():
    writer, samples = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        block = os.path.join(folder, "XY.BLK")
        subprocess.run([writer, samples, block], check=True)
        check_areas(block, failures)
        check_lines(block, failures)
        check_sample(block, samples, failures)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
