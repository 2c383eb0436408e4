"""A window's picture, taken with xwd, its colours, and the picture written
as PNG with nothing but the standard library."""

import struct
import subprocess
import zlib


def capture(desktop, window):
    """Returns (width, height, rows of RGB bytes) of an X window."""
    data = subprocess.run(["xwd", "-silent", "-id", window], env=desktop.env,
                          capture_output=True, timeout=20, check=True).stdout
    fields = struct.unpack(">25I", data[:100])
    header_size, depth, width, height = fields[0], fields[3], fields[4], fields[5]
    bits_per_pixel, bytes_per_line, byte_order, ncolors = fields[11], fields[12], fields[7], fields[19]
    if depth < 24 or bits_per_pixel not in (24, 32):
        raise AssertionError(f"unexpected window format: depth {depth}, {bits_per_pixel} bpp")
    step = bits_per_pixel // 8
    pixels = data[header_size + 12 * ncolors:]
    rows = []
    for y in range(height):
        line = pixels[y * bytes_per_line:y * bytes_per_line + step * width]
        rgb = bytearray()
        for x in range(width):
            pixel = line[step * x:step * x + step]
            rgb += pixel[2::-1] if byte_order == 0 else pixel[-3:]
        rows.append(bytes(rgb))
    return width, height, rows


def window_colours(desktop, window):
    """The colours in an X window's picture; None while it cannot be taken."""
    try:
        return colours(capture(desktop, window)[2])
    except subprocess.CalledProcessError:
        return None


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))


def colours(rows):
    return {row[x:x + 3] for row in rows for x in range(0, len(row), 3)}
