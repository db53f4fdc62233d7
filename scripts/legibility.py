#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Legibility of on-screen text: our pixels against poppler's drawing of our PDF.

Every page of tests/data/gdipages and of the sample reports is drawn by
`qrptool render` (or `render-emf`) at 96, 120 and 144 dpi, and exported to
PDF (text stays text) and drawn by `pdftoppm` at exactly the same size.
The PDF is written at 1200 dpi (`--pdf-dpi`): the export puts glyph
origins and edges on its own device pixels, and at the usual 300 dpi those
steps are half a pixel at 144 dpi, so the reference itself was unevenly
spaced and its shapes off by half a pixel.
Per page: the share of clearly different pixels, the fidelity measure
(grey, 3 x 3 box blur, difference above 64), and the part of it inside
the words' boxes, which is what the text mode changes (shapes, clips and
pictures keep GDI's pixel rules in both modes). Per word that pdftotext
finds in the PDF: the glyph boxes in both pictures (runs of inked columns
inside the word's box), and when both show the same number of boxes, the
spread of the gaps between them (widest minus narrowest, in pixels); the
word counts as uneven when our spread is more than one pixel wider than
poppler's.

usage: scripts/legibility.py [--gdi] [--dpi 96,120,144] [--pdf-dpi 1200] [--worst N] [--keep DIR] [FILE...]
QRPTOOL selects the qrptool binary; the samples are taken from the build
folder beside it.
"""
import argparse
import html.parser
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fidelity import THRESHOLD, difference, find_qrptool, grey_blurred  # noqa: E402  the fidelity table's measure

INK = 160            # grey below this at most is ink for the glyph boxes
SAMPLES = ("sample-a4.qrp", "sample-a3-landscape.qrp", "sample-letter.qrp")


def run(args):
    proc = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if proc.returncode != 0:
        sys.exit("legibility: %s failed: %s" % (" ".join(args[:2]), proc.stderr.strip()))
    return proc.stdout


class BboxReader(html.parser.HTMLParser):
    """Pages (width, height in points) and their words' boxes from pdftotext -bbox."""

    def __init__(self):
        super().__init__()
        self.pages, self.word = [], None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "page":
            self.pages.append((float(a["width"]), float(a["height"]), []))
        elif tag == "word" and self.pages:
            self.word = [float(a[k]) for k in ("xmin", "ymin", "xmax", "ymax")] + [""]

    def handle_data(self, data):
        if self.word is not None:
            self.word[4] += data

    def handle_endtag(self, tag):
        if tag == "word" and self.word is not None:
            self.pages[-1][2].append(self.word)
            self.word = None


def glyph_gaps(grey, box):
    """Gaps in pixels between the runs of inked columns inside box."""
    x0, y0, x1, y1 = box
    part = grey[max(0, y0):y1, max(0, x0):x1]
    if part.size == 0:
        return []
    # Ink: darker than halfway from the word's darkest grey to white, so
    # that grey text and thin smoothed strokes count as well as black.
    if part.size == 0 or part.min() >= 224:
        return []
    inked = (part < min(INK, (int(part.min()) + 255) // 2 + 1)).any(axis=0)
    runs, start = [], None
    for x, on in enumerate(inked):
        if on and start is None:
            start = x
        elif not on and start is not None:
            runs.append((start, x))
            start = None
    if start is not None:
        runs.append((start, len(inked)))
    # A sliver at the box's edge is a neighbour's edge, not a glyph.
    if runs and runs[0][0] == 0 and runs[0][1] <= 1:
        runs = runs[1:]
    if runs and runs[-1][1] == len(inked) and runs[-1][1] - runs[-1][0] <= 1:
        runs = runs[:-1]
    return [b[0] - a[1] for a, b in zip(runs, runs[1:])]


def spread(gaps):
    return max(gaps) - min(gaps) if gaps else 0


def pages_of(qrptool, path, dpi, gdi, work, pdf_dpi):
    """[(ours.png, poppler.png, words)] for every page of path at dpi."""
    name = os.path.splitext(os.path.basename(path))[0]
    ours_dir = os.path.join(work, "ours-%d" % dpi)
    pdf_dir = os.path.join(work, "pdf-%d" % pdf_dpi)
    os.makedirs(ours_dir, exist_ok=True)
    os.makedirs(pdf_dir, exist_ok=True)
    mode = ["--gdi"] if gdi else []
    pdf = os.path.join(pdf_dir, name + ".pdf")
    if path.lower().endswith(".emf"):
        run([qrptool, "render-emf", "--dpi", str(dpi)] + mode + ["-o", ours_dir, path])
        ours = [os.path.join(ours_dir, name + ".png")]
        if not os.path.exists(pdf):
            run([qrptool, "render-emf", "--format", "pdf", "--dpi", str(pdf_dpi), "-o", pdf_dir, path])
    else:
        run([qrptool, "render", path, "--dpi", str(dpi)] + mode + ["-o", os.path.join(ours_dir, name + ".png")])
        ours = sorted(os.path.join(ours_dir, f) for f in os.listdir(ours_dir)
                      if f.startswith(name + "-") and f.endswith(".png"))
        if not os.path.exists(pdf):
            run([qrptool, "render", path, "--format", "pdf", "--dpi", str(pdf_dpi), "-o", pdf])
    reader = BboxReader()
    reader.feed(run(["pdftotext", "-bbox", pdf, "-"]))
    result = []
    for n, png in enumerate(ours, 1):
        w, h = Image.open(png).size
        prefix = os.path.join(work, "poppler-%d-%s-%d" % (dpi, name, n))
        run(["pdftoppm", "-png", "-singlefile", "-f", str(n), "-l", str(n), "-scale-to-x", str(w),
             "-scale-to-y", str(h), pdf, prefix])
        pw, ph, words = reader.pages[n - 1] if n <= len(reader.pages) else (1, 1, [])
        sx, sy = w / pw, h / ph
        boxes = [(int(x0 * sx), int(y0 * sy), int(x1 * sx + 0.999), int(y1 * sy + 0.999), text)
                 for x0, y0, x1, y1, text in words]
        result.append(("%s p%d" % (name, n), png, prefix + ".png", boxes))
    return result


def measure(qrptool, files, dpi, gdi, work, pdf_dpi):
    rows, in_words, uneven, compared, words_total = [], [], [], 0, 0
    for path in files:
        for label, ours, poppler, boxes in pages_of(qrptool, path, dpi, gdi, work, pdf_dpi):
            rows.append((label, difference(ours, poppler)))
            a = np.asarray(Image.open(ours).convert("L"), dtype=np.int32)
            b = np.asarray(Image.open(poppler).convert("L"), dtype=np.int32)
            if a.shape == b.shape:
                differs = np.abs(grey_blurred(ours) - grey_blurred(poppler)) > THRESHOLD
                inside = np.zeros_like(differs)
                for x0, y0, x1, y1, _ in boxes:
                    inside[max(0, y0 - 2):y1 + 2, max(0, x0 - 2):x1 + 2] = True
                in_words.append((100.0 * np.count_nonzero(differs & inside) / differs.size,
                                 100.0 * np.count_nonzero(differs & ~inside) / differs.size))
            for x0, y0, x1, y1, text in boxes:
                words_total += 1
                ga, gb = glyph_gaps(a, (x0, y0, x1, y1)), glyph_gaps(b, (x0, y0, x1, y1))
                if len(ga) != len(gb) or not ga:
                    continue
                compared += 1
                if spread(ga) > spread(gb) + 1:
                    uneven.append((label, text, spread(ga), spread(gb)))
    return rows, in_words, uneven, compared, words_total


def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("files", nargs="*", help="EMF pages or reports; default: the GDI pages and the samples")
    parser.add_argument("--gdi", action="store_true", help="draw our pages with --gdi")
    parser.add_argument("--dpi", default="96,120,144")
    parser.add_argument("--pdf-dpi", type=int, default=1200,
                        help="resolution of the PDF export (1200: glyph origins to an eighth of a pixel at 144 dpi)")
    parser.add_argument("--worst", type=int, default=5, help="rows of the worst pages and words shown")
    parser.add_argument("--keep", metavar="DIR", help="keep the pictures in DIR")
    args = parser.parse_args()
    for tool in ("pdftoppm", "pdftotext"):
        if not shutil.which(tool):
            sys.exit("legibility: %s is missing (Debian: poppler-utils)" % tool)
    qrptool = find_qrptool(repo)
    files = args.files
    if not files:
        gdipages = os.path.join(repo, "tests", "data", "gdipages")
        files = sorted(os.path.join(gdipages, f) for f in os.listdir(gdipages) if f.endswith(".emf"))
        samples = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(qrptool))), "samples")
        found = [os.path.join(samples, s) for s in SAMPLES if os.path.exists(os.path.join(samples, s))]
        if not found:
            print("legibility: no sample reports in %s (build the samples)" % samples, file=sys.stderr)
        files += found
    work = args.keep or tempfile.mkdtemp(prefix="qrp-legibility-")
    os.makedirs(work, exist_ok=True)
    try:
        print("== %s mode against poppler's drawing of our PDF (%d files)" %
              ("GDI" if args.gdi else "default", len(files)))
        for dpi in (int(d) for d in args.dpi.split(",")):
            rows, in_words, uneven, compared, total = measure(qrptool, files, dpi, args.gdi, os.path.join(work, "run"), args.pdf_dpi)
            shutil.rmtree(os.path.join(work, "run", "ours-%d" % dpi), ignore_errors=True) if not args.keep else None
            values = [d for _, d in rows]
            print("%d dpi: %d pages, difference median %.2f%%, worst %.2f%%; words compared %d of %d, "
                  "gap spread more than 1 px wider than poppler's: %d" %
                  (dpi, len(rows), statistics.median(values), max(values), compared, total, len(uneven)))
            if in_words:
                inside, outside = [i for i, _ in in_words], [o for _, o in in_words]
                # Outside the words are shapes, which keep GDI's pixels in
                # both modes: a line GDI puts on a half pixel stands half a
                # pixel from poppler's in either.
                print("  inside the words' boxes: median %.3f%%, mean %.3f%% of a page; outside them: median %.2f%%" %
                      (statistics.median(inside), statistics.mean(inside), statistics.median(outside)))
            for label, d in sorted(rows, key=lambda r: -r[1])[:args.worst]:
                print("  %-40s %6.2f%%" % (label, d))
            for label, text, ours, theirs in sorted(uneven, key=lambda u: u[3] - u[2])[:args.worst]:
                print("  uneven: %-30s %-20s spread %d px, poppler %d px" % (label, text, ours, theirs))
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
