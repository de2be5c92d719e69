#!/usr/bin/env python3
"""Writes the golden cases of files that other programs write, one folder per case.

Each folder holds the input as a spreadsheet program or a script writes it (written here with
Python's csv module) and expected.dump: the lines that `pelloran-cli open input.* dump` (or
`paste roster.* dump` for a roster) prints for the cells the file fills, which are the cells
the writer was given, in Shift-JIS. expected.err, when present, is what pelloran-cli must
print on standard error. Rerun it from anywhere: python3 tests/data/make_cases.py
"""

import csv
import io
import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent

KEY = ["", "", "a", "b", "c", "#"]
POINTS = ["", "", "1", "1", "2", "5"]
STUDENTS = [
    ["1001", "山田 太郎", "a", "b", "c", "4"],
    ["1002", "佐藤　花子", "a", "x", "", "3"],
    ["1003", "Smith, John", "A", "b", "c", "5"],
    ["1004", '表 "ソウタ"', "a", "b", "c 2", "2"],
    ["1005", "能登", "", "", "", ""],
]
CLASS = [KEY, POINTS] + STUDENTS

# Half-width katakana answers and names; a Shift-JIS file of them must not pass for UTF-8.
KATAKANA_CLASS = [
    ["", "", "ｱ", "ｲ", "ｳ"],
    ["", "", "1", "1", "1"],
    ["1001", "ﾔﾏﾀﾞ ﾀﾛｳ", "ｱ", "ｲ", "ｴ"],
    ["1002", "ﾃｽﾄ ﾊﾅｺ", "ｱ", "ｳ", "ｳ"],
]

# é, 😀 and 𠮷 have no Shift-JIS code: each becomes one "?".
UNMAPPED_CLASS = [
    ["", "", "a", "b"],
    ["", "", "1", "1"],
    ["1001", "Zoé Müller", "a", "b"],
    ["1002", "𠮷田 😀", "a", "b"],
]

# A sheet of 30 students as a teacher types it, some names with a line break in the cell
# (Alt+Enter): between family and given name, before a class note, next to doubled quotes, at
# the cell's end; one answer cell holds one too.
FAMILIES = ["山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤"]
GIVENS = ["太郎", "花子", "Ken", "美咲", "翔太", "Ann"]


def multi_line_students(line_break):
    students = []
    for index in range(30):
        family = FAMILIES[index % len(FAMILIES)]
        given = GIVENS[index % len(GIVENS)]
        name = family + (line_break if index % 3 == 0 else "　") + given
        answers = ["a", "b" if index % 2 else "c", "a" if index % 5 else ""]
        students.append([str(3001 + index), name] + answers)
    students[4][1] = '表 "ソウタ"' + line_break + "(2組)"
    students[7][1] = "Smith, John" + line_break
    students[8][1] = line_break + '"Q"'
    students[11][3] = "b" + line_break + "c"
    return students


def multi_line_class(line_break):
    return [["", "", "a", "b", "c"], ["", "", "1", "1", "2"]] + multi_line_students(line_break)

# Mac and web forms write the minus sign, the wave dash and five more characters as other
# characters than Windows programs do (the full-width twins in the second student's row); the
# code page holds each under one code, so none is replaced.
VARIANT_CLASS = [
    ["", "", "\u22125", "1\u301c3", "a\u2016b", "A\u2014B", "\u00a2", "\u00a3", "\u00ac"],
    ["", "", "1", "1", "1", "1", "1", "1", "1"],
    ["1001", "\u2212\u301c\u2016\u2014 \u00a2\u00a3\u00ac", "\u22125", "1\u301c3",
     "a\u2016b", "A\u2014B", "\u00a2", "\u00a3", "\u00ac"],
    ["1002", "\uff0d\uff5e\u2225\u2015 \uffe0\uffe1\uffe2", "\uff0d5", "1\uff5e3",
     "a\u2225b", "A\u2015B", "\uffe0", "\uffe1", "\uffe2"],
    ["1003", "-~|", "-5", "1~3", "a||b", "A-B", "c", "L", "!"],
]

# Python's cp932 codec writes the code page's character for each of those variants but the em
# dash, for which it writes "?" where a spreadsheet writes the character of its twin.
WINDOWS_TWINS = str.maketrans({"\u2014": "\u2015"})

ROSTER = [
    ["1001", "山田 太郎"],
    ["1002", "Smith, John"],
    ["1003", "佐藤　花子"],
]

UNMAPPED_NOTICE = (
    "pelloran-cli: ファイル input.csv には Shift-JIS で表せない文字が {} 個あったため、"
    "「?」に置き換えました。このまま保存すると、それらの文字は「?」になります。\n"
)

NUL_NOTICE = (
    "pelloran-cli: ファイル input.csv の {} 行目に NUL 文字があったため、そこから後は読み込まず、"
    "このまま保存するとその部分は失われます。\n"
)

PASTE_NUL_NOTICE = (
    "pelloran-cli: ファイル roster.txt の {} 行目に NUL 文字があったため、そこから後は"
    "貼り付けていません。\n"
)


def csv_text(rows, dialect="excel", line_end="\r\n", quoting=csv.QUOTE_MINIMAL):
    out = io.StringIO(newline="")
    writer = csv.writer(out, dialect=dialect, lineterminator=line_end, quoting=quoting)
    writer.writerows(rows)
    return out.getvalue()


def utf16_le(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


def utf16_be(text):
    return b"\xfe\xff" + text.encode("utf-16-be")


def shift_jis(text):
    return text.translate(WINDOWS_TWINS).encode("cp932", errors="replace")


def unmapped_count(rows):
    def unmapped(character):
        try:
            character.encode("cp932")
            return False
        except UnicodeEncodeError:
            return True

    return sum(unmapped(character) for row in rows for cell in row for character in cell)


def escaped(cell):
    """A cell's bytes as dump prints them."""
    out = bytearray()
    for byte in cell:
        if byte == 0x5C:
            out += b"\\\\"
        elif byte in (0x0D, 0x0A, 0x09):
            out += {0x0D: b"\\r", 0x0A: b"\\n", 0x09: b"\\t"}[byte]
        elif byte < 0x20 or byte == 0x7F:
            out += b"\\x%02x" % byte
        else:
            out.append(byte)
    return bytes(out)


def dump_of_file(rows):
    """Field k of line i fills cell (k + 1, i + 1)."""
    lines = []
    for row, cells in enumerate(rows, start=1):
        for column, cell in enumerate(cells, start=1):
            if cell:
                lines.append(b"%d,%d:" % (column, row) + escaped(shift_jis(cell)) + b"\n")
    return b"".join(lines)


def dump_of_roster(rows):
    """Line i fills the number and name of row i + 3."""
    lines = []
    for row, (number, name) in enumerate(rows, start=3):
        lines.append(b"1,%d:" % row + escaped(shift_jis(number)) + b"\n")
        lines.append(b"2,%d:" % row + escaped(shift_jis(name)) + b"\n")
    return b"".join(lines)


def write_case(name, input_name, data, dump, err=None):
    folder = HERE / name
    folder.mkdir()
    (folder / input_name).write_bytes(data)
    (folder / "expected.dump").write_bytes(dump)
    if err is not None:
        (folder / "expected.err").write_bytes(err.encode("utf-8"))


def with_trailing_comma(rows):
    """The answer-file form: every cell followed by a comma."""
    return [row + [""] for row in rows]


def main():
    for folder in HERE.iterdir():
        if folder.is_dir():
            shutil.rmtree(folder)

    class_dump = dump_of_file(CLASS)
    write_case("ShiftJisMinimalQuotingCrLf", "input.csv", shift_jis(csv_text(CLASS)), class_dump)
    write_case("ShiftJisQuoteAllLf", "input.csv",
               shift_jis(csv_text(CLASS, line_end="\n", quoting=csv.QUOTE_ALL)), class_dump)
    write_case("ShiftJisTrailingCommas", "input.csv",
               shift_jis(csv_text(with_trailing_comma(CLASS))), class_dump)
    write_case("Utf8WithByteOrderMarkCrLf", "input.csv",
               csv_text(CLASS).encode("utf-8-sig"), class_dump)
    write_case("Utf8WithoutByteOrderMarkLf", "input.csv",
               csv_text(CLASS, line_end="\n").encode("utf-8"), class_dump)
    write_case("Utf8QuoteAllTrailingCommas", "input.csv",
               csv_text(with_trailing_comma(CLASS), quoting=csv.QUOTE_ALL).encode("utf-8"),
               class_dump)
    write_case("Utf16LittleEndianTabs", "input.txt",
               utf16_le(csv_text(CLASS, dialect="excel-tab")), class_dump)
    write_case("Utf16BigEndianTabs", "input.txt",
               utf16_be(csv_text(CLASS, dialect="excel-tab", line_end="\n")), class_dump)
    # Python writes no byte-order mark with the "utf-16-le" and "utf-16-be" codecs.
    write_case("Utf16LittleEndianWithoutByteOrderMark", "input.txt",
               csv_text(CLASS, dialect="excel-tab").encode("utf-16-le"), class_dump)
    write_case("Utf16BigEndianWithoutByteOrderMark", "input.csv",
               csv_text(CLASS, line_end="\n").encode("utf-16-be"), class_dump)
    write_case("Utf8MinusAndWaveDash", "input.csv",
               csv_text(VARIANT_CLASS, line_end="\n").encode("utf-8"), dump_of_file(VARIANT_CLASS))
    write_case("ShiftJisHalfWidthKatakana", "input.csv", shift_jis(csv_text(KATAKANA_CLASS)),
               dump_of_file(KATAKANA_CLASS))
    write_case("Utf8NotInShiftJis", "input.csv", csv_text(UNMAPPED_CLASS).encode("utf-8"),
               dump_of_file(UNMAPPED_CLASS), UNMAPPED_NOTICE.format(unmapped_count(UNMAPPED_CLASS)))
    write_case("RosterUtf16Tabs", "roster.txt", utf16_le(csv_text(ROSTER, dialect="excel-tab")),
               dump_of_roster(ROSTER))
    write_case("RosterUtf8Commas", "roster.txt", csv_text(ROSTER).encode("utf-8"),
               dump_of_roster(ROSTER))
    # LibreOffice writes a line break typed in a cell as LF, inside the cell's quotes.
    libre_office_class = multi_line_class("\n")
    write_case("ShiftJisMultiLineNamesLibreOffice", "input.csv",
               shift_jis(csv_text(libre_office_class)), dump_of_file(libre_office_class))
    python_class = multi_line_class("\r\n")
    write_case("Utf8MultiLineNamesPythonCsv", "input.csv", csv_text(python_class).encode("utf-8"),
               dump_of_file(python_class))
    # A spreadsheet copies its rows as TAB-separated text, a cell with a line break in quotes.
    copied_roster = [row[:2] for row in multi_line_students("\n")]
    write_case("RosterMultiLineNamesTabs", "roster.txt",
               shift_jis(csv_text(copied_roster, dialect="excel-tab")),
               dump_of_roster(copied_roster))
    # A NUL byte, as a damaged copy or a careless script leaves one, ends the text: the lines
    # before it load, and where it ended is told.
    class_bytes = shift_jis(csv_text(CLASS))
    nul_at = class_bytes.index(shift_jis("1001,山田")) + len(shift_jis("1001,山田"))
    write_case("ShiftJisNulInAStudentLine", "input.csv",
               class_bytes[:nul_at] + b"\0" + class_bytes[nul_at:],
               dump_of_file(CLASS[:2] + [["1001", "山田"]]), NUL_NOTICE.format(3))
    roster_bytes = shift_jis(csv_text(ROSTER))
    nul_at = roster_bytes.index(shift_jis("1003,佐藤")) + len(shift_jis("1003,佐藤"))
    write_case("RosterShiftJisNulInALine", "roster.txt",
               roster_bytes[:nul_at] + b"\0" + roster_bytes[nul_at:],
               dump_of_roster(ROSTER[:2] + [["1003", "佐藤"]]), PASTE_NUL_NOTICE.format(3))
    typed = [["1001", "Sato"], ["1002", "Suzuki"]]
    write_case("RosterTypedWithBlanks", "roster.txt", b"1001 Sato\r\n 1002  Suzuki\r\n",
               dump_of_roster(typed))


if __name__ == "__main__":
    main()
