#!/usr/bin/env python3
"""Checks the pictures and the icon that draw_assets made, and the
agreement text, against what the setup dialog needs of them: sizes, depths
and forms, the banner's gradient and the free space for its caption, the
icon's palette and transparency, and the text's exact byte shape.

usage: check_assets.py ASSET_DIR LICENSE_TXT
"""
import struct
import sys

STANDARD_16_COLOURS = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255)]

problems = []


def check(condition, message):
    if not condition:
        problems.append(message)
    return condition


def read_bmp(path, width, height):
    """Pixels as rows top-down of (r, g, b), after checking the header."""
    data = open(path, "rb").read()
    check(data[:2] == b"BM", f"{path}: not a BMP file")
    header = struct.unpack_from("<IiiHHIIiiII", data, 14)
    size, w, h, planes, bits, compression = header[:6]
    check((size, w, h, planes, bits, compression) == (40, width, height, 1, 24, 0),
          f"{path}: header {header[:6]} is not {width} x {height}, 24 bits, uncompressed, bottom-up")
    stride = (width * 3 + 3) & ~3
    check(len(data) == 14 + 40 + stride * height, f"{path}: {len(data)} bytes")
    rows = []
    for y in range(height):
        row = 14 + 40 + (height - 1 - y) * stride
        rows.append([tuple(reversed(data[row + 3 * x:row + 3 * x + 3])) for x in range(width)])
    return rows


def check_banner(path):
    rows = read_bmp(path, 481, 58)
    in_picture = lambda x, y: 9 <= x <= 59 and 5 <= y <= 52
    gradient = []
    for x in range(481):
        column = {rows[y][x] for y in range(58) if not in_picture(x, y)}
        check(len(column) == 1, f"{path}: column {x} is not one colour outside the computer")
        gradient.append(column.pop())
    check(gradient[0] == (204, 204, 255), f"{path}: left edge is {gradient[0]}")
    check(gradient[-1] == (255, 255, 255), f"{path}: right edge is {gradient[-1]}")
    check(all(a <= b for x in range(480) for a, b in zip(gradient[x], gradient[x + 1])),
          f"{path}: the gradient does not run steadily to white")
    drawn = [rows[y][x] for y in range(5, 53) for x in range(9, 60) if rows[y][x] != gradient[x]]
    check(len(drawn) > 500, f"{path}: hardly anything drawn inside x 9 to 59, y 5 to 52")
    check(any(b > 128 and r < 100 and g < 100 for r, g, b in drawn), f"{path}: no blue screen")


def check_browse(path):
    rows = read_bmp(path, 44, 17)
    check(rows[0][0] == (255, 255, 255), f"{path}: background does not start white: {rows[0][0]}")
    right = rows[0][43]
    check(right[2] > right[0] and right != (255, 255, 255), f"{path}: background not grey-blue at right")
    pixels = [p for row in rows for p in row]
    check(any(r > 200 and g > 160 and b < 100 for r, g, b in pixels), f"{path}: no yellow folder")
    check((0, 0, 0) in pixels, f"{path}: no black outline")


def check_icon(path):
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    check((reserved, kind, count) == (0, 1, 2), f"{path}: not an icon file with two images")
    for index, size in enumerate((32, 16)):
        w, h, colours, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
        check((w, h, colours, planes, bits) == (size, size, 16, 1, 4), f"{path}: image {index} entry")
        check(length == {32: 744, 16: 296}[size], f"{path}: image {index} is {length} bytes")
        image = data[offset:offset + length]
        bi = struct.unpack_from("<IiiHH", image, 0)
        check(bi == (40, size, 2 * size, 1, 4), f"{path}: image {index} header {bi}")
        palette = [tuple(reversed(image[40 + 4 * i:40 + 4 * i + 3])) for i in range(16)]
        check(palette == STANDARD_16_COLOURS, f"{path}: image {index} palette is not the standard one")
        mask_stride = ((size + 31) // 32) * 4
        mask = image[40 + 64 + size * size // 2:]
        bits_set = sum(bin(b).count("1") for row in range(size)
                       for b in mask[row * mask_stride:row * mask_stride + size // 8])
        check(0 < bits_set < size * size, f"{path}: image {index} is not partly transparent")
        top = mask[(size - 1) * mask_stride:]  # rows are stored bottom-up
        check(top[0] & 0x80 and top[size // 8 - 1] & 0x01,
              f"{path}: image {index} top corners are not transparent")


def check_license(path):
    text = open(path, "rb").read()
    lines = text.split(b"\r\n")
    check(len(text) == 5115, f"{path}: {len(text)} bytes, not 5115")
    check(len(lines) == 47, f"{path}: {len(lines)} lines, not 47")
    check(not any(b"\r" in line or b"\n" in line for line in lines), f"{path}: a bare CR or LF")
    check(lines[-1] != b"", f"{path}: ends with a line break")
    check(b"\0" not in text, f"{path}: holds a NUL")
    tabs = text.count(b"\t")
    check(tabs == 1, f"{path}: {tabs} tabs, not one")
    check([b for b in text if b > 127] == [146], f"{path}: bytes above 127 are not one 146")
    check(lines[1] == b"=" * len(lines[0]) and lines[0].isupper(), f"{path}: no underlined title line")
    check(max(map(len, lines)) == 632, f"{path}: longest line is {max(map(len, lines))}, not 632")


def main():
    assets, license_txt = sys.argv[1], sys.argv[2]
    check_banner(f"{assets}/banner.bmp")
    check_browse(f"{assets}/browse.bmp")
    check_icon(f"{assets}/setup.ico")
    check_license(license_txt)
    for problem in problems:
        print(problem)
    if not problems:
        print("pictures, icon and agreement text as the setup dialog needs them")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
