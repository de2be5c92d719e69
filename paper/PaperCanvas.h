#pragma once

#include "paper/PaperGeometry.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QString>
#include <array>
#include <string_view>

class QPainter;

/// The grids' inner lines, in millimetres.
inline constexpr double ThinLine = 0.1;
/// How a text sits in its cell.
inline constexpr int TextLeft = Qt::AlignLeft | Qt::AlignVCenter;
inline constexpr int TextRight = Qt::AlignRight | Qt::AlignVCenter;
inline constexpr int TextCentre = Qt::AlignCenter;

/// The faces and sizes the paper writes in.
enum class TPaperFont { Title, Large, Body, Small, Tiny, Mark, Count };

/// The few strokes the paper is drawn with, on a painter whose device is a sheet of paper,
/// places in millimetres from the sheet's top left corner. Texts that do not fit their cell
/// are cut with an ellipsis, never drawn over the next cell.
class TPaperCanvas {
public:
    /// `painter` is active on the sheet's device; its origin is the sheet's corner.
    explicit TPaperCanvas(QPainter& painter);

    /// A text of the table or the language file, in the code page, on one line.
    void Text(const TPaperRect& cell, std::string_view codePageText, int alignment,
              TPaperFont font);
    void Text(const TPaperRect& cell, const QString& text, int alignment, TPaperFont font);
    /// The same, in a smaller font (Small, then Tiny) where the text does not fit in `font`;
    /// cut only where it does not fit in the smallest.
    void ShrunkText(const TPaperRect& cell, std::string_view codePageText, int alignment,
                    TPaperFont font);
    void Fill(const TPaperRect& area, const QColor& colour);
    void Frame(const TPaperRect& area, double widthMm);
    void HorizontalLine(double left, double right, double top, double widthMm,
                        Qt::PenStyle style = Qt::SolidLine);
    void VerticalLine(double left, double top, double bottom, double widthMm);

private:
    QRectF ToDevice(const TPaperRect& area) const;
    QPointF ToDevice(double left, double top) const;
    /// A text laid out in the font, cut to the width: shaping a text costs more than drawing
    /// it, and most texts of a page recur on every page.
    struct TShapedText {
        QList<QGlyphRun> runs;
        qreal advance = 0;
        qreal ascent = 0;
        /// Cut with an ellipsis to fit.
        bool cut = false;
    };
    const TShapedText& Shape(const QString& text, TPaperFont font, qreal width);
    void Draw(const QRectF& area, const TShapedText& shaped, int alignment, TPaperFont font);
    QRectF TextArea(const TPaperRect& cell) const;
    /// The painter's pen changes only when it must: setting it costs. Width 0 is the text's.
    void UsePen(double widthMm, Qt::PenStyle style);

    QPainter& painter_;
    double dotsPerMm_;
    std::array<QFont, static_cast<std::size_t>(TPaperFont::Count)> fonts_;
    std::array<QFontMetricsF, static_cast<std::size_t>(TPaperFont::Count)> metrics_;
    QHash<QString, TShapedText> shaped_;
    double penWidth_ = -1;
    Qt::PenStyle penStyle_ = Qt::NoPen;
};

/// A code-page text as Qt holds it, control characters (a name's line break) as blanks.
QString PaperString(std::string_view codePageText);

/// The face the paper names; the system's own name, which Japanese faces stand for where it
/// does not exist (PaperFontSubstitutes). Registering them is the application's: once, before
/// painting.
inline constexpr std::string_view PaperFontFace = "ＭＳ Ｐゴシック";
void RegisterPaperFontSubstitutes();
