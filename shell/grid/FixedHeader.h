#pragma once

#include "table/store/AnswerTable.h"

#include <QHeaderView>
#include <string>
#include <unordered_map>

/// The header row or the label column of the grid, drawn as the fixed cells they stand for:
/// section s of the header row is the table's cell (s + 1, 0), section s of the label column
/// the label of row s + 1.
class TFixedHeader : public QHeaderView {
public:
    TFixedHeader(Qt::Orientation orientation, const TAnswerTable& table, QWidget* parent);

    /// The text the section shows, in the table's code page.
    std::string SectionText(int section) const;
    /// Repaints the section unless it shows its text already.
    void RefreshSection(int section);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    const TAnswerTable& table_;
    /// What the sections painted lately were painted with.
    mutable std::unordered_map<int, std::string> shownTexts_;
};
