"""Reads a table written by dbase_table_writer with python3-dbfread, an
independent dBASE reader, and compares names, types, sizes and values,
Czech letters included.  The code page comes from the table's header."""
import datetime
import os
import subprocess
import sys
import tempfile

from dbfread import DBF

EXPECTED_FIELDS = [
    ("NAZEV", "C", 40, 0),
    ("PLOCHA", "N", 10, 2),
    ("DATUM", "D", 8, 0),
    ("PLATNY", "L", 1, 0),
    ("CISLO", "N", 6, 0),
]
EXPECTED_RECORDS = [
    {"NAZEV": "Příliš žluťoučký kůň úpěl ďábelské ódy", "PLOCHA": 12.35,
     "DATUM": datetime.date(2026, 12, 7), "PLATNY": True, "CISLO": 1},
    {"NAZEV": "ŠŤÁVA Ěščřžýáíé ŮŇĎ", "PLOCHA": -0.5,
     "DATUM": datetime.date(2024, 2, 29), "PLATNY": False, "CISLO": 3},
    {"NAZEV": "", "PLOCHA": None, "DATUM": None, "PLATNY": None, "CISLO": 4},
]


def main():
    writer = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "L0001.DBF")
        subprocess.run([writer, path], check=True)
        table = DBF(path, load=True)
        failures = []
        if table.encoding != "cp1250":
            failures.append("code page %r" % table.encoding)
        fields = [(f.name, f.type, f.length, f.decimal_count) for f in table.fields]
        if fields != EXPECTED_FIELDS:
            failures.append("fields %r" % fields)
        records = [dict(r) for r in table.records]
        if len(records) != len(EXPECTED_RECORDS):
            failures.append("%d records" % len(records))
        for number, (got, want) in enumerate(zip(records, EXPECTED_RECORDS), 1):
            for name, value in want.items():
                if got.get(name) != value:
                    failures.append("record %d %s: %r, expected %r" % (number, name, got.get(name), value))
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
