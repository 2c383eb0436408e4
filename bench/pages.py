"""The pages the benchmark loads: a small one, and a heavy one of about 2 MB of
HTML with 50 generated images and several scripts. Both report their load
event to the server. Everything is generated, deterministically, at start."""

import random
import struct
import zlib

IMAGE_COUNT = 50
SCRIPT_COUNT = 6
HEAVY_HTML_BYTES = 2_000_000
IMAGE_SIZE = (160, 120)

# Sent once the load event fires: the run it belongs to, and the page's own
# clock at that moment (ms since navigation start).
LOAD_BEACON = """<script>
addEventListener('load', () => {
  const run = new URLSearchParams(location.search).get('run') || '';
  fetch('/loaded?run=' + encodeURIComponent(run) + '&t=' + performance.now(),
        {cache: 'no-store'});
});
</script>"""

WORDS = ("engine window status panel address page load frame render paint layout "
         "timer label image script table cell network socket cache profile display "
         "thread event queue signal slot widget menu shortcut history").split()


def small_page():
    return f"""<!doctype html>
<html><head><meta charset="utf-8"><title>Small</title>{LOAD_BEACON}</head>
<body><h1>Small</h1><p>A page with nothing to fetch.</p></body></html>""".encode()


def png(width, height, seed):
    """An RGB PNG: a gradient with noise, so it neither compresses to nothing
    nor decodes for free."""
    rng = random.Random(seed)
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows += bytes(((x * 255 // width + seed * 37) % 256 ^ rng.getrandbits(4),
                           (y * 255 // height) ^ rng.getrandbits(4),
                           (seed * 5) % 256 ^ rng.getrandbits(4)))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))


def script(index):
    """A script that parses a sizeable data literal and does some work on the
    page once its DOM is ready, as real sites' scripts do."""
    rng = random.Random(1000 + index)
    data = ",".join(str(rng.randrange(1_000_000)) for _ in range(4000))
    return f"""'use strict';
(() => {{
  const data = [{data}];
  const sorted = data.slice().sort((a, b) => a - b);
  let sum = 0;
  for (const value of sorted) sum += value % 97;
  document.addEventListener('DOMContentLoaded', () => {{
    const cells = document.querySelectorAll('td.c{index}');
    cells.forEach((cell, i) => {{ cell.textContent = String((sum + i) % 1000); }});
    document.body.dataset.s{index} = String(sum);
  }});
}})();
""".encode()


def heavy_page():
    rng = random.Random(7)

    def sentence():
        return " ".join(rng.choice(WORDS) for _ in range(rng.randint(8, 18))).capitalize() + "."

    head = ["<!doctype html><html><head><meta charset=\"utf-8\"><title>Heavy</title>",
            "<style>body{font-family:sans-serif} td{border:1px solid #ccc;padding:2px}"
            " img{float:right;margin:4px}</style>"]
    head += [f'<script src="/script/{i}.js"></script>' for i in range(SCRIPT_COUNT)]
    head += [LOAD_BEACON, "</head><body><h1>Heavy</h1>"]
    body = []
    size = sum(map(len, head))
    section = 0
    while size < HEAVY_HTML_BYTES:
        parts = [f"<section id=\"s{section}\"><h2>Section {section}</h2>"]
        if section < IMAGE_COUNT:
            width, height = IMAGE_SIZE
            parts.append(f'<img src="/img/{section}.png" width="{width}" height="{height}"'
                         f' alt="Picture {section}">')
        parts += [f"<p>{' '.join(sentence() for _ in range(6))}</p>" for _ in range(4)]
        parts.append("<table>")
        for row in range(8):
            cells = "".join(f'<td class="c{(row + col) % SCRIPT_COUNT}">{rng.randrange(10**6)}</td>'
                            for col in range(6))
            parts.append(f"<tr>{cells}</tr>")
        parts.append("</table>")
        if section % 25 == 0:
            parts.append(f"<script>document.getElementById('s{section}').dataset.seen = "
                         f"String(document.querySelectorAll('p').length);</script>")
        parts.append("</section>")
        chunk = "".join(parts)
        body.append(chunk)
        size += len(chunk)
        section += 1
    if section < IMAGE_COUNT:
        raise ValueError("the heavy page is too short to hold every image")
    return ("".join(head) + "".join(body) + "</body></html>").encode()


def resources():
    """Every resource the server serves, by path, as (content type, bytes)."""
    served = {"/small": ("text/html; charset=utf-8", small_page()),
              "/heavy": ("text/html; charset=utf-8", heavy_page())}
    for i in range(IMAGE_COUNT):
        served[f"/img/{i}.png"] = ("image/png", png(*IMAGE_SIZE, i))
    for i in range(SCRIPT_COUNT):
        served[f"/script/{i}.js"] = ("text/javascript", script(i))
    return served
