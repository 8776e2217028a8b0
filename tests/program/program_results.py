"""What the program's headless runs leave behind, read back for the tests
of its workflows: the line records of a block and their vertices, and
pictures saved as BMP or drawn back from a PDF by pdftoppm as PPM.  Colours
are (red, green, blue)."""

import struct
import subprocess
import sys

LINE_RECORD = 103


def line_records(block):
    """(number, kind, colour) of each live record of the block's TN.LIN."""
    with open(block + "/TN.LIN", "rb") as file:
        data = file.read()
    records = []
    for at in range(0, len(data) - LINE_RECORD + 1, LINE_RECORD):
        number, kind, _precision, flag, _selection, colour = struct.unpack_from("<ihBBBh", data, at)
        if flag & 0x0D == 0:
            records.append((number, kind, colour))
    return records


COORD_RECORD = 12


def real48(data, at):
    """The six-byte real at the offset: the exponent with bias 129 (0 is the
    value 0), then 39 bits of mantissa, least significant byte first, with
    the sign in the top bit of the last byte."""
    exponent = data[at]
    if exponent == 0:
        return 0.0
    mantissa = int.from_bytes(data[at + 1:at + 6], "little")
    fraction = mantissa & ((1 << 39) - 1)
    sign = -1.0 if mantissa >> 39 else 1.0
    return sign * (1 + fraction / 2.0 ** 39) * 2.0 ** (exponent - 129)


def line_vertices(block):
    """The vertices (x, y) of each live line of the block, in record order:
    TN.CRD's records from the line's first to its last index."""
    with open(block + "/TN.LIN", "rb") as file:
        lines = file.read()
    with open(block + "/TN.CRD", "rb") as file:
        coords = file.read()
    result = []
    for at in range(0, len(lines) - LINE_RECORD + 1, LINE_RECORD):
        if lines[at + 7] & 0x0D:
            continue
        first, last = struct.unpack_from("<ii", lines, at + 19)
        result.append([(real48(coords, i * COORD_RECORD), real48(coords, i * COORD_RECORD + 6))
                       for i in range(first, last + 1)])
    return result


class Picture:
    def __init__(self, width, height, pixel):
        self.width = width
        self.height = height
        self.pixel = pixel  # (x, y) from the top left -> (r, g, b)


def bmp(path):
    """A 24-bit BMP file: bottom-up rows padded to four bytes, blue first."""
    with open(path, "rb") as file:
        data = file.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _planes, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise ValueError(path + ": " + str(bits) + " bits a pixel")
    row = (width * 3 + 3) // 4 * 4

    def pixel(x, y):
        line = height - 1 - y if height > 0 else y
        at = offset + line * row + x * 3
        return data[at + 2], data[at + 1], data[at]

    return Picture(width, abs(height), pixel)


def ppm(path):
    """A binary PPM file (P6, 255) as pdftoppm writes it."""
    with open(path, "rb") as file:
        data = file.read()
    fields = data.split(maxsplit=4)
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(path + ": no 8-bit P6 picture")
    width, height = int(fields[1]), int(fields[2])
    start = len(data) - width * height * 3

    def pixel(x, y):
        at = start + (y * width + x) * 3
        return data[at], data[at + 1], data[at + 2]

    return Picture(width, height, pixel)


def pdf_part(pdf, page, dots_per_inch, left, top, width, height, stem):
    """The part of a PDF page drawn back without smoothing, in its own pixels:
    (x, y) of the result is (left + x, top + y) of the page."""
    subprocess.run(["pdftoppm", "-r", str(dots_per_inch), "-aa", "no", "-aaVector", "no", "-f", str(page),
                    "-l", str(page), "-x", str(left), "-y", str(top), "-W", str(width), "-H", str(height),
                    "-singlefile", pdf, stem], check=True)
    part = ppm(stem + ".ppm")
    return Picture(part.width, part.height, lambda x, y: part.pixel(x - left, y - top))


def pdf_pages(pdf):
    out = subprocess.run(["pdfinfo", pdf], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    return 0


def round_to_pixel(value):
    """The device's rounding, halves to the even pixel; both pixels for a
    value so near a half that the program's order of operations decides."""
    below = int(value // 1)
    fraction = value - below
    if abs(fraction - 0.5) < 1e-6:
        return {below, below + 1}
    return {round(value)}


def fail(text):
    print("FAILED: " + text)
    sys.exit(1)
