#!/usr/bin/env python3
"""Prints the cells that `pelloran-cli ... dump` writes as an aligned table in UTF-8.

Reads the dump from standard input: one `<col>,<row>:<text>` line per non-empty cell, the text
in code page 932 with the control bytes and "\\" escaped byte by byte. Row 0 and column 0 are
the table's titles; they are centred, the other cells right-aligned, as the window shows them.
"""

import re
import sys
import unicodedata

LINE = re.compile(rb"^(\d+),(\d+):(.*)$")
ESCAPE = re.compile(rb"\\(x[0-9a-fA-F]{2}|.)")
NAMED_ESCAPES = {b"\\": b"\\", b"r": b"\r", b"n": b"\n", b"t": b"\t"}


def unescape(text):
    """Undoes the dump's escapes on bytes, before decoding, since a double-byte character's
    second byte may be "\\"."""

    def replace(match):
        code = match.group(1)
        if code.startswith(b"x") and len(code) == 3:
            return bytes([int(code[1:], 16)])
        return NAMED_ESCAPES.get(code, code)

    return ESCAPE.sub(replace, text)


def shown(text):
    """A cell's text on one terminal line: control characters stay escaped."""
    return "".join(
        repr(char)[1:-1] if unicodedata.category(char) == "Cc" else char for char in text
    )


def width(text):
    """Terminal columns: East Asian wide and full-width characters take two."""
    columns = 0
    for char in text:
        if unicodedata.combining(char):
            continue
        columns += 2 if unicodedata.east_asian_width(char) in ("W", "F") else 1
    return columns


def read_cells(stream):
    cells = {}
    for number, line in enumerate(stream.read().split(b"\n"), start=1):
        if not line:
            continue
        match = LINE.match(line)
        if not match:
            raise ValueError(f"line {number} is not a cell: {line[:60]!r}")
        column, row = int(match.group(1)), int(match.group(2))
        cells[(column, row)] = shown(unescape(match.group(3)).decode("cp932", "replace"))
    return cells


def format_table(cells):
    if not cells:
        return []
    columns = max(column for column, _ in cells) + 1
    rows = max(row for _, row in cells) + 1
    widths = [0] * columns
    for (column, _), text in cells.items():
        widths[column] = max(widths[column], width(text))
    lines = []
    for row in range(rows):
        fields = []
        for column in range(columns):
            text = cells.get((column, row), "")
            room = widths[column] - width(text)
            if row == 0 or column == 0:
                fields.append(" " * (room // 2) + text + " " * (room - room // 2))
            else:
                fields.append(" " * room + text)
        lines.append(" ".join(fields).rstrip())
    return lines


def main():
    try:
        cells = read_cells(sys.stdin.buffer)
    except ValueError as error:
        print(f"print_table.py: {error}", file=sys.stderr)
        return 1
    sys.stdout.reconfigure(encoding="utf-8")
    for line in format_table(cells):
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
