#!/usr/bin/python3
"""Independent side of the workbook tests: writes workbooks with xlwt and reads workbooks and
compound files back with xlrd and olefile, printing what they hold as JSON.

  xlsreference.py write-sample OUT.xls     a workbook of several sheets and every kind of cell
                                           xlwt writes
  xlsreference.py write-list OUT.xls JSON  a workbook whose sheets and rows come from the JSON
                                           file: {"sheets": [{"name": ..., "rows": [[cell, ...]]}]}
                                           where a cell is a string, a number, or null for none
  xlsreference.py cells FILE.xls           every sheet as xlrd reads it: name, rows, columns and
                                           the cells that hold something
  xlsreference.py streams FILE             every stream of a compound file as olefile reads it:
                                           path, size and the bytes in hex
"""
import json
import sys

import olefile
import xlrd
import xlwt


def write_sample(path):
    book = xlwt.Workbook()
    people = book.add_sheet("Import to KRO")
    header = ["Folder", "DVR", "IP", "Port", "ID", "Password"]
    for column, text in enumerate(header):
        people.write(0, column, text)
    rows = [
        ["Head office", "gate", "10.0.0.1", 8000, "admin", "1234"],
        ["Head office", "yard", "10.0.0.2", "8001", "admin", "pass word"],
        ["Branch \u00e9t\u00e9", "door", "host.example", 8000.6, "user", 42],
    ]
    for r, row in enumerate(rows, start=1):
        for c, value in enumerate(row):
            people.write(r, c, value)
    numbers = book.add_sheet("Numbers")
    values = [0, 1, -1, 536870911, -536870912, 536870912, 1.5, -2.25, 0.1, 1e300, -1e-300, 123456.78,
              8000.6, 3.14159]
    for r, value in enumerate(values):
        numbers.write(r, 0, value)
        numbers.write(r, 3, str(value))
    numbers.write(2, 7, True)
    numbers.write(3, 7, False)
    numbers.write(20, 200, "far")
    texts = book.add_sheet("\u65e5\u672c")
    texts.write(0, 0, "\u65e5\u672c\u8a9e")
    texts.write(1, 1, "plain")
    texts.write(2, 2, "x" * 300)
    big = book.add_sheet("Big")
    for r in range(600):
        for c in range(6):
            big.write(r, c, "r%dc%d" % (r, c) if c % 2 else r * 10 + c)
    book.save(path)


def write_list(path, layout_path):
    with open(layout_path, encoding="utf-8") as layout_file:
        layout = json.load(layout_file)
    book = xlwt.Workbook()
    for sheet_layout in layout["sheets"]:
        sheet = book.add_sheet(sheet_layout["name"])
        for r, row in enumerate(sheet_layout["rows"]):
            for c, value in enumerate(row):
                if value is not None:
                    sheet.write(r, c, value)
    book.save(path)


def cells(path):
    book = xlrd.open_workbook(path)
    kinds = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_BOOLEAN: "boolean",
             xlrd.XL_CELL_ERROR: "error", xlrd.XL_CELL_DATE: "number"}
    sheets = []
    for sheet in book.sheets():
        found = []
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                found.append({"row": r, "column": c, "kind": kinds[cell.ctype], "value": cell.value})
        sheets.append({"name": sheet.name, "rows": sheet.nrows, "columns": sheet.ncols, "cells": found})
    json.dump({"sheets": sheets}, sys.stdout, ensure_ascii=True)


def streams(path):
    ole = olefile.OleFileIO(path)
    found = []
    for entry in ole.listdir(streams=True, storages=False):
        data = ole.openstream(entry).read()
        found.append({"path": "\\".join(entry), "size": len(data), "hex": data.hex()})
    json.dump({"streams": found}, sys.stdout)


def main():
    command = sys.argv[1]
    if command == "write-sample":
        write_sample(sys.argv[2])
    elif command == "write-list":
        write_list(sys.argv[2], sys.argv[3])
    elif command == "cells":
        cells(sys.argv[2])
    elif command == "streams":
        streams(sys.argv[2])
    else:
        sys.exit("unknown command " + command)


if __name__ == "__main__":
    main()
