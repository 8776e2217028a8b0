"""Compares the 1250 to 852 letter conversion of every byte with Python's own
code page codecs: the Czech and Slovak letters with diacritics move to their
code page 852 byte, every other byte stays."""
import subprocess
import sys

LETTERS = "ÁÉÍĹÓŔÚÝáéíĺóŕúýČĎĚĽŇÔŘŠŤŮŽčďěľňôřšťůž"


def expected(byte):
    try:
        letter = bytes([byte]).decode("cp1250")
    except UnicodeDecodeError:
        return byte
    return letter.encode("cp852")[0] if letter in LETTERS else byte


def main():
    converted = subprocess.run([sys.argv[1]], check=True, capture_output=True).stdout
    wrong = [f"{b:02X}->{converted[b]:02X} (expected {expected(b):02X})"
             for b in range(256) if b >= len(converted) or converted[b] != expected(b)]
    if len(converted) != 256 or wrong:
        print(f"{len(converted)} bytes; wrong: {', '.join(wrong)}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
