#include "shell/window/CellsMimeData.h"

#include "shell/window/ShellText.h"

namespace {

const QString PlainTextType = QStringLiteral("text/plain");
const QString HtmlType = QStringLiteral("text/html");

} // namespace

QStringList TCellsMimeData::formats() const {
    return {PlainTextType, HtmlType};
}

bool TCellsMimeData::hasFormat(const QString& mimeType) const {
    return mimeType == PlainTextType || mimeType == HtmlType;
}

QVariant TCellsMimeData::retrieveData(const QString& mimeType, QMetaType) const {
    // Kept once written: a clipboard manager and the pasting program may both ask.
    if (mimeType == PlainTextType) {
        if (!plainText_) {
            plainText_ = FromCodePage(BlockClipboardText(cells_));
        }
        return *plainText_;
    }
    if (mimeType == HtmlType) {
        if (!html_) {
            html_ = FromUtf8(BlockClipboardHtml(cells_));
        }
        return *html_;
    }
    return {};
}
