#pragma once

#include "table/clipboard/CellBlock.h"

#include <QMimeData>
#include <QString>
#include <optional>

/// Cells on the clipboard: the block as copied, written out as spreadsheets take it (plain text
/// and an HTML table) only when a program asks for it, so that copying a whole class costs no
/// more than taking its cells, and a paste into this program takes the cells themselves.
class TCellsMimeData : public QMimeData {
    Q_OBJECT

public:
    explicit TCellsMimeData(TCellBlock cells) : cells_(std::move(cells)) {}

    const TCellBlock& Cells() const { return cells_; }

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    TCellBlock cells_;
    mutable std::optional<QString> plainText_;
    mutable std::optional<QString> html_;
};
