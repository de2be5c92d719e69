#include "paper/PaperCanvas.h"

#include "platform/CodePage.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QTextLayout>
#include <QTextOption>
#include <mutex>

namespace {

constexpr double MillimetresPerInch = 25.4;
/// Room between a cell's border and its text.
constexpr double CellInset = 0.7;
/// Texts kept shaped: the labels, marks, keys and short answers of every page, not every
/// name and number of ten thousand students.
constexpr qsizetype MaxShapedTexts = 4096;

QFont PaperFont(TPaperFont kind) {
    QFont font(
        QString::fromUtf8(PaperFontFace.data(), static_cast<qsizetype>(PaperFontFace.size())));
    switch (kind) {
    case TPaperFont::Title:
        font.setPointSizeF(12);
        font.setBold(true);
        break;
    case TPaperFont::Large:
        font.setPointSizeF(11);
        font.setBold(true);
        break;
    case TPaperFont::Body:
        font.setPointSizeF(9.5);
        break;
    case TPaperFont::Small:
        font.setPointSizeF(8);
        break;
    case TPaperFont::Tiny:
        font.setPointSizeF(6);
        break;
    case TPaperFont::Mark:
    case TPaperFont::Count:
        font.setPointSizeF(11);
        break;
    }
    return font;
}

template <std::size_t... Kinds>
std::array<QFont, sizeof...(Kinds)> PaperFonts(std::index_sequence<Kinds...>) {
    return {PaperFont(static_cast<TPaperFont>(Kinds))...};
}

template <std::size_t... Kinds>
std::array<QFontMetricsF, sizeof...(Kinds)>
PaperMetrics(const std::array<QFont, sizeof...(Kinds)>& fonts, QPaintDevice* device,
             std::index_sequence<Kinds...>) {
    return {QFontMetricsF(fonts[Kinds], device)...};
}

constexpr auto FontKinds = std::make_index_sequence<static_cast<std::size_t>(TPaperFont::Count)>();

} // namespace

TPaperCanvas::TPaperCanvas(QPainter& painter)
    : painter_(painter), dotsPerMm_(painter.device()->logicalDpiX() / MillimetresPerInch),
      fonts_(PaperFonts(FontKinds)), metrics_(PaperMetrics(fonts_, painter.device(), FontKinds)) {}

QRectF TPaperCanvas::ToDevice(const TPaperRect& area) const {
    return {area.left * dotsPerMm_, area.top * dotsPerMm_, area.width * dotsPerMm_,
            area.height * dotsPerMm_};
}

QPointF TPaperCanvas::ToDevice(double left, double top) const {
    return {left * dotsPerMm_, top * dotsPerMm_};
}

void TPaperCanvas::Text(const TPaperRect& cell, std::string_view codePageText, int alignment,
                        TPaperFont font) {
    if (!codePageText.empty()) {
        Text(cell, PaperString(codePageText), alignment, font);
    }
}

void TPaperCanvas::Text(const TPaperRect& cell, const QString& text, int alignment,
                        TPaperFont font) {
    if (text.isEmpty()) {
        return;
    }
    const QRectF area = TextArea(cell);
    Draw(area, Shape(text, font, area.width()), alignment, font);
}

void TPaperCanvas::ShrunkText(const TPaperRect& cell, std::string_view codePageText, int alignment,
                              TPaperFont font) {
    if (codePageText.empty()) {
        return;
    }
    const QString text = PaperString(codePageText);
    const QRectF area = TextArea(cell);
    for (TPaperFont tried = font;;
         tried = tried < TPaperFont::Small ? TPaperFont::Small : TPaperFont::Tiny) {
        const TShapedText& shaped = Shape(text, tried, area.width());
        if (!shaped.cut || tried >= TPaperFont::Tiny) {
            Draw(area, shaped, alignment, tried);
            return;
        }
    }
}

QRectF TPaperCanvas::TextArea(const TPaperRect& cell) const {
    return ToDevice({cell.left + CellInset, cell.top, cell.width - 2 * CellInset, cell.height});
}

void TPaperCanvas::Draw(const QRectF& area, const TShapedText& shaped, int alignment,
                        TPaperFont font) {
    // Placed by hand: the painter's own alignment lays every text out as a paragraph.
    qreal left = area.left();
    if ((alignment & Qt::AlignHCenter) != 0) {
        left += (area.width() - shaped.advance) / 2;
    } else if ((alignment & Qt::AlignRight) != 0) {
        left = area.right() - shaped.advance;
    }
    const QFontMetricsF& metrics = metrics_[static_cast<std::size_t>(font)];
    const qreal top = area.center().y() - (metrics.ascent() + metrics.descent()) / 2 +
                      metrics.ascent() - shaped.ascent;
    UsePen(0, Qt::SolidLine);
    for (const QGlyphRun& run : shaped.runs) {
        painter_.drawGlyphRun(QPointF(left, top), run);
    }
}

const TPaperCanvas::TShapedText& TPaperCanvas::Shape(const QString& text, TPaperFont font,
                                                     qreal width) {
    const auto kind = static_cast<std::size_t>(font);
    const QString key = QString::number(kind) + QLatin1Char('\x1f') + QString::number(width) +
                        QLatin1Char('\x1f') + text;
    if (const auto found = shaped_.constFind(key); found != shaped_.constEnd()) {
        return *found;
    }
    if (shaped_.size() >= MaxShapedTexts) {
        shaped_.clear();
    }
    const QFontMetricsF& metrics = metrics_[kind];
    const bool cut = metrics.horizontalAdvance(text) > width;
    const QString shown = cut ? metrics.elidedText(text, Qt::ElideRight, width) : text;
    QTextLayout layout(shown, fonts_[kind], painter_.device());
    QTextOption oneLine;
    oneLine.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(oneLine);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    TShapedText shaped;
    shaped.cut = cut;
    shaped.runs = layout.glyphRuns();
    shaped.advance = line.isValid() ? line.naturalTextWidth() : 0;
    shaped.ascent = line.isValid() ? line.ascent() : metrics.ascent();
    return *shaped_.insert(key, shaped);
}

void TPaperCanvas::Fill(const TPaperRect& area, const QColor& colour) {
    painter_.fillRect(ToDevice(area), colour);
}

void TPaperCanvas::UsePen(double widthMm, Qt::PenStyle style) {
    if (widthMm == penWidth_ && style == penStyle_) {
        return;
    }
    QPen pen(Qt::black);
    pen.setWidthF(widthMm * dotsPerMm_);
    pen.setStyle(style);
    painter_.setPen(pen);
    penWidth_ = widthMm;
    penStyle_ = style;
}

void TPaperCanvas::Frame(const TPaperRect& area, double widthMm) {
    UsePen(widthMm, Qt::SolidLine);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(ToDevice(area));
}

void TPaperCanvas::HorizontalLine(double left, double right, double top, double widthMm,
                                  Qt::PenStyle style) {
    UsePen(widthMm, style);
    painter_.drawLine(ToDevice(left, top), ToDevice(right, top));
}

void TPaperCanvas::VerticalLine(double left, double top, double bottom, double widthMm) {
    UsePen(widthMm, Qt::SolidLine);
    painter_.drawLine(ToDevice(left, top), ToDevice(left, bottom));
}

QString PaperString(std::string_view codePageText) {
    std::u16string text = TCodePage::Decode(codePageText);
    for (char16_t& character : text) {
        if (character < u' ' || character == u'\x7F') {
            character = u' ';
        }
    }
    return QString::fromStdU16String(text);
}

void RegisterPaperFontSubstitutes() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        QFont::insertSubstitutions(
            QString::fromUtf8(PaperFontFace.data(), static_cast<qsizetype>(PaperFontFace.size())),
            {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
             QStringLiteral("Noto Sans CJK JP")});
    });
}
