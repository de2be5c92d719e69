#pragma once

#include "table/store/AnswerTable.h"
#include "table/store/TableView.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

/// Stands in for the window: logs every call in order, with the state the window would see,
/// and, when messages are processed, "paints" each cell whose repaint was requested in the
/// highlight colour of that moment.
class TFakeTableView : public TTableView {
public:
    explicit TFakeTableView(TAnswerTable& table) : table_(table) { table_.SetView(this); }
    TFakeTableView(const TFakeTableView&) = delete;
    TFakeTableView& operator=(const TFakeTableView&) = delete;
    ~TFakeTableView() override { table_.SetView(nullptr); }

    static std::string Cell(int column, int row) {
        return "cell " + std::to_string(column) + "," + std::to_string(row);
    }
    static std::string Rows(int firstRow, int lastRow) {
        return "rows " + std::to_string(firstRow) + "-" + std::to_string(lastRow);
    }
    static std::string RowCount(int rowCount) { return "row count " + std::to_string(rowCount); }
    static std::string Width(int column, int pixels) {
        return "width " + std::to_string(column) + "=" + std::to_string(pixels);
    }
    /// Messages processed while the highlight colour was `highlight`.
    static std::string Process(TColor highlight) { return "process " + std::to_string(highlight); }
    /// The commands enabled after a change: Mark, Sort by number, Sort by score.
    static std::string Commands(bool mark, bool sortWithNumber, bool sortWithPoint) {
        return std::string("commands ") + (mark ? "M" : "-") + (sortWithNumber ? "N" : "-") +
               (sortWithPoint ? "P" : "-");
    }

    void CellWritten(int column, int row) override {
        log.push_back(Cell(column, row));
        pending_.insert({column, row});
    }
    void TableReset() override {
        log.push_back("reset");
        for (int row = 0; row < TAnswerTable::ShownRows; ++row) {
            RequestRowRepaint(row, TAnswerTable::ShownColumns);
        }
    }
    void RowsWritten(int firstRow, int lastRow) override {
        log.push_back(Rows(firstRow, lastRow));
        for (int row = firstRow; row <= lastRow; ++row) {
            RequestRowRepaint(row,
                              std::max(TAnswerTable::ShownColumns, table_.StoredColumnCount(row)));
        }
    }
    void RowCountChanged(int rowCount) override { log.push_back(RowCount(rowCount)); }
    void ColumnWidthSet(int column, int pixels) override { log.push_back(Width(column, pixels)); }
    void CommandsChanged() override {
        log.push_back(Commands(table_.IsEnabled(TCommand::mmMark),
                               table_.IsEnabled(TCommand::mmSortWithNumber),
                               table_.IsEnabled(TCommand::mmSortWithPoint)));
    }
    void ProcessMessages() override {
        log.push_back(Process(table_.HighlightColor()));
        for (const auto& cell : pending_) {
            painted[cell] = table_.HighlightColor();
        }
        pending_.clear();
    }

    std::vector<std::string> log;
    /// The colour each cell, as (column, row), was last painted in.
    std::map<std::pair<int, int>, TColor> painted;

private:
    void RequestRowRepaint(int row, int columnCount) {
        for (int column = 0; column < columnCount; ++column) {
            pending_.insert({column, row});
        }
    }

    TAnswerTable& table_;
    std::set<std::pair<int, int>> pending_;
};
