#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fidelity table of the EMF player against the reference renderings.

Renders every EMF of the corpus with `qrptool render-emf --gdi --width 800`
(text in GDI's own pixels, as the references hold it) in one process (with --print-resolution also 4000 px wide, reduced to 800 px by
averaging 5 x 5 blocks, against GDI's picture reduced the same way), then,
for each file, measures the share of pixels that clearly
differ from a reference picture: both pictures in grey, each smoothed with a
3 x 3 box filter, and a pixel counts when the two grey values differ by more
than 64. Prints the per-file table against Wine's GDI and LibreOffice, and
the summary figures, and how much ink each page loses against the reference;
then the summary of the default mode (smoothed text) against the same references.
Without a corpus argument: the shared corpus, then our GDI-recorded pages.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image

THRESHOLD = 64
BROKEN_FOLDERS = ("libemf2svg-corrupted", "crafted")


def grey_blurred(path):
    grey = np.asarray(Image.open(path).convert("L"), dtype=np.float32)
    padded = np.pad(grey, 1, mode="edge")
    h, w = grey.shape
    total = np.zeros_like(grey)
    for dy in range(3):
        for dx in range(3):
            total += padded[dy:dy + h, dx:dx + w]
    return total / 9.0


def difference(a_path, b_path):
    """Percentage of clearly different pixels; pixels outside the common
    area of two pictures of different sizes count as different."""
    a, b = grey_blurred(a_path), grey_blurred(b_path)
    h, w = min(a.shape[0], b.shape[0]), min(a.shape[1], b.shape[1])
    area = max(a.shape[0] * a.shape[1], b.shape[0] * b.shape[1])
    differing = np.count_nonzero(np.abs(a[:h, :w] - b[:h, :w]) > THRESHOLD)
    differing += area - h * w
    return 100.0 * differing / area


def find_qrptool(repo):
    for candidate in (os.environ.get("QRPTOOL"),
                      os.path.join(repo, "build", "src", "tools", "qrptool")):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    for entry in sorted(os.listdir(repo)):
        path = os.path.join(repo, entry, "src", "tools", "qrptool")
        if entry.startswith("build") and os.access(path, os.X_OK):
            return path
    sys.exit("fidelity: qrptool not found; build it or set QRPTOOL")


def corpus_files(corpus):
    files = []
    for root, dirs, names in os.walk(corpus):
        dirs[:] = sorted(d for d in dirs if d != "ref")
        files += [os.path.join(root, n) for n in sorted(names) if n.lower().endswith(".emf")]
    return files


def render(qrptool, files, outdir, width, gdi=True):
    """Renders all files in one process; after a crash, goes on file by file
    so that the crashing file is named. Returns {name: ms} and crashed names."""
    times, crashed = {}, []
    pending = list(files)
    one_by_one = False
    while pending:
        batch = pending[:1] if one_by_one else pending
        mode = ["--gdi"] if gdi else []
        proc = subprocess.run([qrptool, "render-emf", "--width", str(width), "--times"] + mode + ["-o", outdir] + batch,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        for line in proc.stdout.splitlines():
            name, _, ms = line.partition("\t")
            times[name] = float(ms)
        if proc.returncode < 0:
            if one_by_one:
                crashed.append(batch[0])
                pending = pending[1:]
            else:
                done = {os.path.splitext(os.path.basename(f))[0] for f in batch if
                        os.path.splitext(os.path.basename(f))[0] in times}
                pending = [f for f in pending if os.path.splitext(os.path.basename(f))[0] not in done]
                one_by_one = True
            continue
        pending = pending[len(batch):]
    return times, crashed


def ink(path):
    """Darkness summed over the picture: how much was drawn."""
    grey = np.asarray(Image.open(path).convert("L"), dtype=np.float64)
    return float((255.0 - grey).sum())


TILE = 32          # px: the unit of the element check
TILE_MARGIN = 4    # px: an element may move this far and still be found
TILE_INK = 0.04    # share of a tile's area that must be inked to count as an element
TILE_KEPT = 0.25   # share of that ink the other picture must have within reach


def colour_ink(path):
    """Per pixel, how far from white the darkest channel is (0 to 1): pale
    fills count as well as dark lines."""
    rgb = np.asarray(Image.open(path).convert("RGB"), dtype=np.float32)
    return (255.0 - rgb.min(axis=2)) / 255.0


def components(flags):
    """Groups of 4-connected flagged tiles: one per element."""
    seen = np.zeros_like(flags)
    count = 0
    for y, x in zip(*np.nonzero(flags)):
        if seen[y, x]:
            continue
        count += 1
        stack = [(y, x)]
        seen[y, x] = True
        while stack:
            cy, cx = stack.pop()
            for ny, nx in ((cy - 1, cx), (cy + 1, cx), (cy, cx - 1), (cy, cx + 1)):
                if 0 <= ny < flags.shape[0] and 0 <= nx < flags.shape[1] and flags[ny, nx] and not seen[ny, nx]:
                    seen[ny, nx] = True
                    stack.append((ny, nx))
    return count


def elements(ours_path, ref_path):
    """(missing, extra): groups of 32-pixel tiles where one picture has a
    drawn element (a clip's content, a fill, a text line) and the other has
    almost no ink within a few pixels of it."""
    a, b = colour_ink(ours_path), colour_ink(ref_path)
    h, w = min(a.shape[0], b.shape[0]), min(a.shape[1], b.shape[1])
    a, b = a[:h, :w], b[:h, :w]
    ty, tx = h // TILE, w // TILE

    def sums(img, margin):
        # Ink of every tile grown by margin, from a summed-area table.
        table = np.zeros((h + 1, w + 1))
        table[1:, 1:] = img.cumsum(0).cumsum(1)
        y0 = np.clip(np.arange(ty) * TILE - margin, 0, h)
        y1 = np.clip(np.arange(ty) * TILE + TILE + margin, 0, h)
        x0 = np.clip(np.arange(tx) * TILE - margin, 0, w)
        x1 = np.clip(np.arange(tx) * TILE + TILE + margin, 0, w)
        return (table[np.ix_(y1, x1)] - table[np.ix_(y0, x1)] - table[np.ix_(y1, x0)] + table[np.ix_(y0, x0)])

    a_tile, b_tile = sums(a, 0), sums(b, 0)
    a_near, b_near = sums(a, TILE_MARGIN), sums(b, TILE_MARGIN)
    enough = TILE_INK * TILE * TILE
    missing = (b_tile >= enough) & (a_near < TILE_KEPT * b_tile)
    extra = (a_tile >= enough) & (b_near < TILE_KEPT * a_tile)
    return components(missing), components(extra)


def known_differences(corpus, refname):
    """Pages whose reference is known to differ from Windows' GDI, from
    ref/REFNAME/known-differences.txt ("page: why" per line)."""
    known = {}
    path = os.path.join(corpus, "ref", refname, "known-differences.txt")
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                name, sep, why = line.partition(":")
                if sep and not line.startswith("#"):
                    known[name.strip()] = why.strip()
    return known


def reduce_all(outdir, factor):
    for name in os.listdir(outdir):
        if name.endswith(".png"):
            path = os.path.join(outdir, name)
            Image.open(path).convert("RGB").reduce(factor).save(path)


def table(title, corpus, qrptool, args, width, refname, with_lo):
    """Renders and measures one corpus; prints its table and summary.
    Returns the names of crashed files."""
    files = corpus_files(corpus)
    if not files:
        sys.exit("fidelity: no EMF files under " + corpus)
    outdir = os.path.join(args.keep, os.path.basename(corpus.rstrip("/")) + "-" + refname) if args.keep \
        else tempfile.mkdtemp(prefix="qrp-fidelity-")
    os.makedirs(outdir, exist_ok=True)
    try:
        times, crashed = render(qrptool, files, outdir, width)
        if width != 800:
            reduce_all(outdir, width // 800)
        rows = []
        for f in files:
            name = os.path.splitext(os.path.basename(f))[0]
            broken = any(part in f for part in BROKEN_FOLDERS)
            ours = os.path.join(outdir, name + ".png")
            gdi = os.path.join(corpus, "ref", refname, name + ".png")
            lo = os.path.join(corpus, "ref", "lo-800", name + ".png")
            row = {"name": name, "broken": broken, "ms": times.get(name), "ours": None, "lo": None, "ink": None,
                   "elements": (0, 0)}
            if not broken and os.path.exists(ours) and os.path.exists(gdi):
                row["ours"] = difference(ours, gdi)
                row["elements"] = elements(ours, gdi)
                reference_ink = ink(gdi)
                row["ink"] = 100.0 * (1.0 - ink(ours) / reference_ink) if reference_ink > 0 else 0.0
                if with_lo and os.path.exists(lo):
                    row["lo"] = difference(lo, gdi)
            rows.append(row)
    finally:
        if not args.keep:
            shutil.rmtree(outdir, ignore_errors=True)

    measured = [r for r in rows if r["ours"] is not None]
    shown = sorted(measured, key=lambda r: -r["ours"])
    if args.worst:
        shown = shown[:args.worst]
    print("== %s (%s, %d px%s)" % (title, corpus, width, ", reduced to 800" if width != 800 else ""))
    print("%-48s %9s %9s %9s %8s %9s" % ("file", "ours/GDI", "LO/GDI", "ink lost", "ms", "miss/xtra"))
    for r in shown:
        lo = "%8.2f%%" % r["lo"] if r["lo"] is not None else "%9s" % "-"
        ms = "%8.1f" % r["ms"] if r["ms"] is not None else "%8s" % "-"
        print("%-48s %8.2f%% %s %8.1f%% %s %5d/%-3d" % (r["name"][:48], r["ours"], lo, r["ink"], ms, *r["elements"]))

    ours = [r["ours"] for r in measured]
    both = [r for r in measured if r["lo"] is not None]
    all_times = [t for t in times.values()]
    print("files rendered: %d of %d; compared with Wine GDI: %d" % (len(times), len(files), len(measured)))
    if ours:
        print("ours vs GDI: median %.2f%%, under 2%%: %.0f%% of files" %
              (statistics.median(ours), 100.0 * sum(d < 2 for d in ours) / len(ours)))
        known = known_differences(corpus, refname)
        trusted = [r["ours"] for r in measured if r["name"] not in known]
        if known and trusted:
            print("  without the %d files whose reference is known to differ from GDI: median %.2f%%, "
                  "under 2%%: %.0f%% of %d files" % (len(ours) - len(trusted), statistics.median(trusted),
                                                    100.0 * sum(d < 2 for d in trusted) / len(trusted), len(trusted)))
        losing = [r["name"] for r in measured if r["ink"] > 10.0]
        print("files losing more than a tenth of the reference's ink: %d%s" %
              (len(losing), (" (" + ", ".join(losing) + ")") if losing else ""))
        flagged = [r for r in measured if r["elements"] != (0, 0)]
        unexplained = [r for r in flagged if r["name"] not in known]
        print("files with an element missing or extra: %d%s" %
              (len(unexplained), (" (" + ", ".join("%s: %d missing, %d extra" % (r["name"], *r["elements"])
                                                 for r in unexplained) + ")") if unexplained else ""))
        explained = [r for r in flagged if r["name"] in known]
        if explained:
            print("  and where the reference is known to differ from GDI: %s" %
                  "; ".join("%s (%d missing, %d extra): %s" % (r["name"], *r["elements"], known[r["name"]])
                            for r in explained))
    if both:
        print("LO vs GDI:   median %.2f%%, under 2%%: %.0f%% of files" %
              (statistics.median(r["lo"] for r in both), 100.0 * sum(r["lo"] < 2 for r in both) / len(both)))
        print("ours at least as close to GDI as LO: %.0f%% of %d files" %
              (100.0 * sum(r["ours"] <= r["lo"] for r in both) / len(both), len(both)))
    if all_times:
        ordered = sorted(all_times)
        print("render and PNG write per file (wall clock): median %.1f ms, 90th percentile %.1f ms, slowest %.1f ms" %
              (statistics.median(ordered), ordered[int(0.9 * (len(ordered) - 1))], ordered[-1]))
    if width == 800 and not args.gdi_only:
        smooth_summary(files, qrptool, refname, corpus)
    broken = [r for r in rows if r["broken"]]
    if broken:
        crashed_names = {os.path.splitext(os.path.basename(c))[0] for c in crashed}
        played = sum(1 for r in broken if r["ms"] is not None)
        print("damaged files: %d: played %d, refused by the loader %d, crashed %d" %
              (len(broken), played, len(broken) - played - len(crashed_names & {r["name"] for r in broken}),
               len(crashed_names & {r["name"] for r in broken})))
    print()
    return crashed


def smooth_summary(files, qrptool, refname, corpus):
    """The default mode (smoothed text at its exact advances) against the
    same references: further from GDI's pixels by design."""
    outdir = tempfile.mkdtemp(prefix="qrp-fidelity-")
    try:
        times, _ = render(qrptool, files, outdir, 800, gdi=False)
        diffs = []
        for f in files:
            name = os.path.splitext(os.path.basename(f))[0]
            ours = os.path.join(outdir, name + ".png")
            gdi = os.path.join(corpus, "ref", refname, name + ".png")
            if not any(part in f for part in BROKEN_FOLDERS) and os.path.exists(ours) and os.path.exists(gdi):
                diffs.append(difference(ours, gdi))
    finally:
        shutil.rmtree(outdir, ignore_errors=True)
    if diffs:
        ordered = sorted(times.values())
        print("default mode (smoothed text) vs GDI: median %.2f%%, under 2%%: %.0f%% of %d files; "
              "render and PNG write median %.1f ms" %
              (statistics.median(diffs), 100.0 * sum(d < 2 for d in diffs) / len(diffs), len(diffs),
               statistics.median(ordered) if ordered else 0.0))


def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("corpus", nargs="?",
                        help="one corpus; default: the shared corpus, then the GDI-recorded pages")
    parser.add_argument("--keep", metavar="DIR", help="keep our renderings in DIR")
    parser.add_argument("--worst", type=int, default=15, help="rows of the table (worst first); 0: all")
    parser.add_argument("--gdi-only", action="store_true", help="skip the default mode's summary")
    parser.add_argument("--print-resolution", action="store_true",
                        help="also play the GDI pages 4000 px wide, reduced to 800 px")
    args = parser.parse_args()

    qrptool = find_qrptool(repo)
    gdi_pages = os.path.join(repo, "tests", "data", "gdipages")
    if args.corpus:
        corpora = [("EMF corpus", os.path.abspath(args.corpus))]
    else:
        corpora = [("shared corpus", os.path.abspath(os.path.join(repo, "..", "shared", "corpus"))),
                   ("GDI-recorded pages", gdi_pages)]
    crashed = []
    for title, corpus in corpora:
        crashed += table(title, corpus, qrptool, args, 800, "wine-gdi-800", True)
        if args.print_resolution and os.path.isdir(os.path.join(corpus, "ref", "wine-gdi-4000")):
            crashed += table(title + " at print resolution", corpus, qrptool, args, 4000, "wine-gdi-4000", False)
    if crashed:
        print("CRASHED: " + ", ".join(crashed))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
