#include "shell/window/HtmlTable.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace {

constexpr char16_t IdeographicSpace = u'\u3000';
/// A noncharacter, which no page holds and Qt does not use for its frames, stands for it while
/// Qt reads the page.
constexpr char16_t KeptSpace = u'\uFDEF';

QTextTable* FirstTable(QTextFrame& frame) {
    for (QTextFrame* child : frame.childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            return table;
        }
        if (QTextTable* table = FirstTable(*child)) {
            return table;
        }
    }
    return nullptr;
}

QString CellText(const QTextTableCell& cell) {
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    // Paragraphs and <br> come as the separators of Unicode; a page's non-breaking space is
    // a space to the teacher, and one the code page cannot hold.
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    text.replace(QChar(KeptSpace), QChar(IdeographicSpace));
    return text.trimmed();
}

} // namespace

std::vector<QStringList> ReadHtmlTable(const QString& html) {
    QTextDocument document;
    // Qt takes the ideographic space, which stands between a Japanese family and given name,
    // for a blank that HTML collapses, also when written as a reference; a browser keeps it.
    QString kept = html;
    kept.replace(QChar(IdeographicSpace), QChar(KeptSpace));
    document.setHtml(kept);
    const QTextTable* table = FirstTable(*document.rootFrame());
    if (table == nullptr) {
        return {};
    }
    std::vector<QStringList> rows(static_cast<std::size_t>(table->rows()));
    for (int row = 0; row < table->rows(); ++row) {
        QStringList& cells = rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            const bool covered = cell.row() != row || cell.column() != column;
            cells.append(covered ? QString() : CellText(cell));
        }
    }
    return rows;
}
