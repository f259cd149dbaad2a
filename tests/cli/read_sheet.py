#!/usr/bin/python3
"""Reads a spreadsheet the way its user's program would and prints it as JSON for the tests.

XLSX through openpyxl, CSV through the csv module as a Brazilian spreadsheet reads it (UTF-8 with
a byte-order mark, ";" between cells, the decimal comma). Each cell is null, {"t": text},
{"n": number, "p": the number as the cell shows it in pt-BR} or {"d": the date as it shows}.
"""
import csv
import datetime
import json
import re
import sys

AMOUNT = re.compile(r"^-?\d+,\d+$")


def shown(value, decimals, grouped):
    text = f"{abs(value):,.{decimals}f}" if grouped else f"{abs(value):.{decimals}f}"
    text = text.replace(",", "_").replace(".", ",").replace("_", ".")
    return ("-" if value < 0 else "") + text


def xlsx_cell(cell):
    value = cell.value
    if value is None:
        return None
    if isinstance(value, datetime.datetime):
        pattern = "%m/%Y" if cell.number_format == "mm/yyyy" else "%d/%m/%Y"
        return {"d": value.strftime(pattern)}
    if isinstance(value, (int, float)):
        code = cell.number_format
        decimals = len(code.split(".", 1)[1]) if "." in code else 0
        return {"n": value, "p": shown(value, decimals, "," in code)}
    return {"t": str(value)}


def read_xlsx(path):
    import openpyxl

    book = openpyxl.load_workbook(path)
    sheets = []
    for sheet in book.worksheets:
        rows = [[xlsx_cell(c) for c in row] for row in sheet.iter_rows()]
        sheets.append({"name": sheet.title, "rows": rows, "freeze": sheet.freeze_panes,
                       "filter": sheet.auto_filter.ref,
                       "bold_header": bool(rows) and all(
                           c.font.b for c in next(sheet.iter_rows()) if c.value is not None)})
    return {"sheets": sheets}


def csv_cell(text):
    if text == "":
        return None
    if AMOUNT.match(text):
        decimals = len(text.split(",")[1])
        value = float(text.replace(",", "."))
        return {"n": value, "p": shown(value, decimals, True)}
    return {"t": text}


def read_csv(path):
    with open(path, "rb") as raw:
        data = raw.read()
    bom = data.startswith(b"\xef\xbb\xbf")
    # Records end with CRLF; a line break inside a quoted cell may be either.
    crlf = data.endswith(b"\r\n") or not data[3:]
    with open(path, encoding="utf-8-sig", newline="") as text:
        records = list(csv.reader(text, delimiter=";", strict=True))
    rows = [[csv_cell(field) for field in record] for record in records]
    widths = sorted({len(record) for record in records})
    return {"bom": bom, "crlf": crlf, "widths": widths, "sheets": [{"name": "", "rows": rows}]}


def main():
    path = sys.argv[1]
    data = read_xlsx(path) if path.endswith(".xlsx") else read_csv(path)
    json.dump(data, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
