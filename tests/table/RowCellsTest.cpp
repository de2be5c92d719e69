#include "table/store/RowCells.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

/// The cells a row should hold, without the empty ones at the end.
using TModel = std::vector<std::string>;

void DropTrailingEmpty(TModel& model) {
    while (!model.empty() && model.back().empty()) {
        model.pop_back();
    }
}

void ExpectSameCells(const TRowCells& row, const TModel& model, const std::string& step) {
    ASSERT_EQ(row.Size(), model.size()) << step;
    std::size_t bytes = 0;
    for (std::size_t column = 0; column < model.size(); ++column) {
        ASSERT_EQ(row.Cell(column), model[column]) << step << ", column " << column;
        bytes += model[column].size();
    }
    EXPECT_EQ(row.ByteSize(0, model.size() + 5), bytes) << step;
    EXPECT_EQ(row.Cell(model.size() + 3), "") << step;
    std::string joinedFromOne;
    for (std::size_t column = 1; column < model.size(); ++column) {
        joinedFromOne += model[column];
    }
    EXPECT_EQ(row.Bytes(1, model.size() + 2), joinedFromOne) << step;
    TModel walked;
    row.ForEachCell(0, model.size() + 2, [&](std::string_view cell) { walked.emplace_back(cell); });
    EXPECT_EQ(walked, model) << step;
}

/// Short cells, and now and then one of 100 bytes or 20 KB, so that rows cross 256 bytes and
/// 64 KB, where the width of the stored ends changes, both ways.
std::string RandomCell(std::mt19937& random) {
    const int kind = std::uniform_int_distribution<int>(0, 19)(random);
    if (kind == 0) {
        return std::string(20'000, 'w');
    }
    if (kind == 1) {
        return std::string(100, 'm');
    }
    if (kind < 5) {
        return {};
    }
    return std::string(static_cast<std::size_t>(kind % 4) + 1, static_cast<char>('a' + kind));
}

TEST(RowCells, EveryChangeKeepsTheCellsOfASimpleModelAcrossTheLimitsOfTheEndWidths) {
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        TRowCells row;
        TModel model;
        for (int step = 0; step < 60; ++step) {
            const auto column = std::uniform_int_distribution<std::size_t>(0, 12)(random);
            const auto end = column + std::uniform_int_distribution<std::size_t>(0, 6)(random);
            std::string what;
            switch (std::uniform_int_distribution<int>(0, 6)(random)) {
            case 0: {
                const std::string text = RandomCell(random);
                row.Append(text);
                model.push_back(text);
                what = "append";
                break;
            }
            case 1:
            case 2: {
                const std::string text = RandomCell(random);
                row.SetCell(column, text);
                model.resize(std::max(model.size(), column + 1));
                model[column] = text;
                what = "set cell " + std::to_string(column);
                break;
            }
            case 3:
                row.EmptyCells(column, end);
                for (std::size_t at = column; at < std::min(end, model.size()); ++at) {
                    model[at].clear();
                }
                what = "empty cells";
                break;
            case 4: {
                const TRowCells taken = row.TakeFrom(column);
                TModel takenModel;
                if (column < model.size()) {
                    takenModel.assign(model.begin() + static_cast<std::ptrdiff_t>(column),
                                      model.end());
                    model.resize(column);
                }
                ExpectSameCells(taken, takenModel, "taken");
                row.PutFrom(end, taken);
                model.resize(std::max(model.size(), end));
                model.resize(end);
                model.insert(model.end(), takenModel.begin(), takenModel.end());
                what = "take and put";
                break;
            }
            case 5: {
                // A cell's own text written back, as a repaint request does.
                const std::string own(row.Cell(column));
                row.SetCell(column, row.Cell(column));
                EXPECT_EQ(row.Cell(column), own);
                what = "write back";
                break;
            }
            default: {
                const TRowCells copy = row;
                row = copy;
                what = "copy";
                break;
            }
            }
            if (what == "append") {
                // Append keeps empty cells at the end; the other changes drop them.
                ExpectSameCells(row, model, what);
                row.DropTrailingEmptyCells();
            }
            DropTrailingEmpty(model);
            ExpectSameCells(row, model, "round " + std::to_string(round) + ", " + what);
        }
    }
}

TEST(RowCells, MovedFromRowIsEmpty) {
    TRowCells row;
    row.Append("a");
    row.Append(std::string(70'000, 'b'));
    TRowCells moved = std::move(row);
    EXPECT_EQ(moved.Cell(1).size(), 70'000U);
    EXPECT_EQ(row.Size(), 0U); // NOLINT(bugprone-use-after-move): the state is defined
    EXPECT_EQ(row.Cell(0), "");
}

// A row built whole from its bytes and ends holds those cells, at every width of its ends.
TEST(RowCells, BuiltWholeHoldsItsCellsAtEveryEndWidth) {
    for (const std::size_t cellSize : {std::size_t{3}, std::size_t{100}, std::size_t{30'000}}) {
        std::string bytes;
        std::vector<std::uint32_t> ends;
        std::vector<std::string> cells;
        for (char letter = 'a'; letter < 'f'; ++letter) {
            cells.emplace_back(letter == 'c' ? 0 : cellSize, letter);
            bytes += cells.back();
            ends.push_back(static_cast<std::uint32_t>(bytes.size()));
        }
        TRowCells row(bytes, ends);
        ASSERT_EQ(row.Size(), cells.size());
        for (std::size_t column = 0; column < cells.size(); ++column) {
            EXPECT_EQ(row.Cell(column), cells[column]) << cellSize;
        }
        row.SetCell(7, "x");
        EXPECT_EQ(row.Cell(4), cells[4]);
        EXPECT_EQ(row.Cell(7), "x");
    }
}

} // namespace
