#!/usr/bin/env python3
"""Draws the pages of an nrw HTML document with ReportLab, as render_bench draws them with cairo:
the same texts at the same places, in the same TrueType faces (embedded as subsets), the same
lines and boxes. Prints pages per second.

Usage: python3 bench/reportlab_pages.py pages.html [--seconds 5]
"""
import html
import io
import re
import sys
import time

from reportlab.lib.units import mm
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

FONTS = "/usr/share/fonts/truetype/liberation2/"
pdfmetrics.registerFont(TTFont("LiberationSans", FONTS + "LiberationSans-Regular.ttf"))
pdfmetrics.registerFont(TTFont("LiberationSans-Bold", FONTS + "LiberationSans-Bold.ttf"))

PAGE_SIZE = re.compile(r"@page \{ size: ([\d.]+)mm ([\d.]+)mm")
SECTION = re.compile(r'<section class="page"[^>]*>(.*?)</section>', re.S)
TEXT = re.compile(
    r'<div class="t" style="left:([\d.]+)mm;top:([\d.]+)mm;width:([\d.]+)mm;'
    r"line-height:([\d.]+)mm;text-align:(\w+);font:(bold )?([\d.]+)pt[^\"]*\">(.*?)</div>")
HLINE = re.compile(r'<div class="l h" style="left:([\d.]+)mm;top:([\d.]+)mm;width:([\d.]+)mm')
VLINE = re.compile(r'<div class="l v" style="left:([\d.]+)mm;top:([\d.]+)mm;height:([\d.]+)mm')
BOX = re.compile(
    r'<div class="b" style="left:([\d.]+)mm;top:([\d.]+)mm;width:([\d.]+)mm;height:([\d.]+)mm')


def read_pages(path):
    text = open(path, encoding="utf-8").read()
    width, height = (float(v) for v in PAGE_SIZE.search(text).groups())
    pages = []
    for body in SECTION.findall(text):
        texts = [(float(l), float(t), float(w), float(lh), align, bool(bold), float(size),
                  html.unescape(content)) for l, t, w, lh, align, bold, size, content in
                 TEXT.findall(body)]
        pages.append((texts, [tuple(map(float, m)) for m in HLINE.findall(body)],
                      [tuple(map(float, m)) for m in VLINE.findall(body)],
                      [tuple(map(float, m)) for m in BOX.findall(body)]))
    return width, height, pages


def draw(width, height, pages):
    out = io.BytesIO()
    pdf = canvas.Canvas(out, pagesize=(width * mm, height * mm))
    pdf.setLineWidth(0.5)
    top = height * mm
    for texts, hlines, vlines, boxes in pages:
        for left, y, w, line_height, align, bold, size, content in texts:
            pdf.setFont("LiberationSans-Bold" if bold else "LiberationSans", size)
            baseline = top - (y + line_height * 0.8) * mm
            if align == "right":
                pdf.drawRightString((left + w) * mm, baseline, content)
            elif align == "center":
                pdf.drawCentredString((left + w / 2) * mm, baseline, content)
            else:
                pdf.drawString(left * mm, baseline, content)
        for left, y, w in hlines:
            pdf.line(left * mm, top - y * mm, (left + w) * mm, top - y * mm)
        for left, y, h in vlines:
            pdf.line(left * mm, top - y * mm, left * mm, top - (y + h) * mm)
        for left, y, w, h in boxes:
            pdf.rect(left * mm, top - (y + h) * mm, w * mm, h * mm)
        pdf.showPage()
    pdf.save()
    return len(out.getvalue())


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    seconds = float(sys.argv[sys.argv.index("--seconds") + 1]) if "--seconds" in sys.argv else 5
    width, height, pages = read_pages(sys.argv[1])
    # CPU time of the process, as render_bench measures: the machine is shared.
    start = time.process_time()
    documents = 0
    while True:
        size = draw(width, height, pages)
        documents += 1
        elapsed = time.process_time() - start
        if elapsed >= seconds:
            break
    print(f"ReportLab: {len(pages)} páginas, {documents} documentos em {elapsed:.2f} s de CPU, "
          f"{len(pages) * documents / elapsed:.0f} páginas/s, {size} bytes por documento")


if __name__ == "__main__":
    main()
