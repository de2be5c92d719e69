#!/usr/bin/env python3
"""Writes the clipboard texts of one block of cells as spreadsheets and scripts put it there.

python-excel-tab.txt is written by Python's csv module with the excel-tab dialect;
libreoffice-calc.txt as LibreOffice Calc puts a copied range on the clipboard on Linux: cells
separated by TAB, each row ended by LF, a cell holding a TAB, a line break or a double quote in
double quotes. Both in Shift-JIS, as the window hands clipboard text to the table.
Rerun it from anywhere: python3 tests/data/clipboard/make_clipboard_cases.py
"""

import csv
import io
import pathlib

HERE = pathlib.Path(__file__).resolve().parent

BLOCK = [
    ["1001", "山田 太郎", "a", "b"],
    ["1002", 'Smith, "J"', "", "c\td"],
    ["1003", "佐藤\n(2組)", "5", ""],
]


def python_excel_tab():
    text = io.StringIO(newline="")
    csv.writer(text, dialect="excel-tab").writerows(BLOCK)
    return text.getvalue()


def libreoffice_calc():
    def cell(text):
        if any(character in text for character in '\t\n"'):
            return '"' + text.replace('"', '""') + '"'
        return text

    return "".join("\t".join(cell(text) for text in row) + "\n" for row in BLOCK)


(HERE / "python-excel-tab.txt").write_bytes(python_excel_tab().encode("cp932"))
(HERE / "libreoffice-calc.txt").write_bytes(libreoffice_calc().encode("cp932"))
