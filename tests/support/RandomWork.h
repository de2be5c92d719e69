#pragma once

#include "fuzz/FuzzSupport.h"
#include "table/file/AnswerFile.h"
#include "table/store/AnswerTable.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

/// Random texts a teacher's work may bring: cells of every byte class, answer files, rosters.
/// Seeded, so that a failing sequence is run again by its seed.
class TRandomWork {
public:
    explicit TRandomWork(std::uint32_t seed) : random_(seed) {}

    int Below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool Chance(int percent) { return Below(100) < percent; }

    /// A cell: plain answers mostly, else pieces of every byte class (separators, quotes,
    /// double-byte characters whose second byte is '\\', half-width kana, numbers at the edge
    /// of the range). Line breaks and other control bytes come only from files: no key types
    /// them. No piece is a lone lead byte, which a save writes as "?" by design.
    std::string CellText(bool fromFile = false) {
        static const std::vector<std::string> pieces{"a",
                                                     "b",
                                                     "c",
                                                     "B",
                                                     "went",
                                                     "10",
                                                     "3",
                                                     "-1",
                                                     "2.5",
                                                     "1e308",
                                                     ",",
                                                     "\"",
                                                     "\"\"",
                                                     " ",
                                                     "#",
                                                     "<",
                                                     "<br>",
                                                     "\x83\x5c",
                                                     "\x95\x5c",
                                                     "\x8e\x52",
                                                     "\xb1",
                                                     "\xdf",
                                                     "\xe0\x40",
                                                     "\xfc\xfc",
                                                     "\t",
                                                     "\r",
                                                     "\n",
                                                     "\r\n",
                                                     std::string(1, '\0'),
                                                     "\x01"};
        constexpr int ControlPieces = 6;
        if (Chance(60)) {
            return pieces[static_cast<std::size_t>(Below(6))];
        }
        const int usable = static_cast<int>(pieces.size()) - (fromFile ? 0 : ControlPieces);
        std::string text;
        for (int piece = Below(4); piece >= 0; --piece) {
            text += pieces[static_cast<std::size_t>(Below(usable))];
        }
        return text;
    }

    /// A comma field: plain, or quoted with its quotes doubled.
    std::string Field(const std::string& text) {
        const bool needsQuotes =
            text.find_first_of(std::string(",\"\r\n\t \0", 7)) != std::string::npos;
        if (!needsQuotes && !Chance(10)) {
            return text;
        }
        std::string quoted = "\"";
        for (const char byte : text) {
            quoted += byte == '"' ? std::string("\"\"") : std::string(1, byte);
        }
        return quoted + "\"";
    }

    /// An answer file as programs write them: a key with answers and point questions, points,
    /// students whose answers are mostly right; CR LF or LF, trailing commas or not.
    std::string AnswerFileText() {
        const int questions = 1 + Below(6);
        const int students = Below(9);
        const std::string end = Chance(70) ? "\r\n" : "\n";
        std::vector<std::string> key;
        for (int question = 0; question < questions; ++question) {
            key.push_back(Chance(20) ? "#" : CellText(true));
        }
        std::string text = Line({"", ""}, key, end);
        std::vector<std::string> points;
        for (int question = 0; question < questions; ++question) {
            points.push_back(Chance(95) ? std::to_string(1 + Below(10)) : CellText(true));
        }
        text += Line({"", ""}, points, end);
        for (int student = 0; student < students; ++student) {
            std::vector<std::string> answers;
            for (int question = 0; question < questions; ++question) {
                const std::string& right = key[static_cast<std::size_t>(question)];
                answers.push_back(right == "#" ? std::to_string(Below(11))
                                  : Chance(70) ? right
                                               : CellText(true));
            }
            const std::string number =
                Chance(90) ? std::to_string(1000 + Below(50)) : CellText(true);
            text += Line({number, CellText(true)}, answers, end);
        }
        return text;
    }

    /// One "number,name" line per student, now and then a line that stops the paste.
    std::string RosterText() {
        std::string text;
        for (int line = Below(8); line >= 0; --line) {
            text += Chance(5)
                        ? CellText(true)
                        : Field(std::to_string(1000 + Below(50))) + "," + Field(CellText(true));
            text += Chance(50) ? "\r\n" : "\n";
        }
        return text;
    }

private:
    std::string Line(const std::vector<std::string>& first, const std::vector<std::string>& rest,
                     const std::string& end) {
        std::string line;
        for (const std::string& text : first) {
            line += Field(text) + ",";
        }
        for (const std::string& text : rest) {
            line += Field(text) + ",";
        }
        if (Chance(30)) {
            line.pop_back();
        }
        return line + end;
    }

    std::mt19937 random_;
};

/// The cells an answer file holds: rows 1 and 2 and the student rows up to the first without
/// a number, columns 1 to the written width.
inline TCells SavedCellsOf(const TAnswerTable& table) {
    const TCells cells = CellsOf(table);
    const std::size_t width = static_cast<std::size_t>(WrittenWidth(table));
    TCells saved;
    for (std::size_t row = TAnswerTable::AnswerKeyRow;; ++row) {
        if (row >= std::size_t{TAnswerTable::FirstStudentRow} &&
            CellOf(cells, TAnswerTable::NumberColumn, row).empty()) {
            break;
        }
        std::vector<std::string>& texts = saved.emplace_back();
        for (std::size_t column = 1; column < width; ++column) {
            texts.push_back(CellOf(cells, column, row));
        }
    }
    return saved;
}

/// The student rows from column 1 on, sorted: what a sort must keep.
inline std::vector<std::vector<std::string>> StudentRowsOf(const TCells& cells) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t row = TAnswerTable::FirstStudentRow; row < cells.size(); ++row) {
        rows.emplace_back(cells[row].size() > 1 ? cells[row].begin() + 1 : cells[row].end(),
                          cells[row].end());
    }
    std::sort(rows.begin(), rows.end());
    while (!rows.empty() && rows.front().empty()) {
        rows.erase(rows.begin());
    }
    return rows;
}

/// The header row and the label column, which only the reset and the numbering write.
inline std::vector<std::string> FrameOf(const TCells& cells) {
    std::vector<std::string> frame = cells.empty() ? std::vector<std::string>() : cells[0];
    for (std::size_t row = 1; row < cells.size(); ++row) {
        frame.push_back(CellOf(cells, 0, row));
    }
    while (!frame.empty() && frame.back().empty()) {
        frame.pop_back();
    }
    return frame;
}
