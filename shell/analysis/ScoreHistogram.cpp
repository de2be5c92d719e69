#include "shell/analysis/ScoreHistogram.h"

#include <QPainter>
#include <utility>

namespace {

constexpr int LeftMargin = 34;
constexpr int RightMargin = 10;
constexpr int TopMargin = 22;
constexpr int BottomMargin = 34;
constexpr int LabelGap = 3;
const QColor BarFill(0x7a, 0x9c, 0xc6);
const QColor BarLine(0x34, 0x59, 0x8a);

} // namespace

TScoreHistogram::TScoreHistogram(QWidget* parent) : QWidget(parent) {
    setMinimumSize(260, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TScoreHistogram::SetHistogram(THistogram histogram, const QStringList& binLabels,
                                   const QString& scoreAxis, const QString& countAxis) {
    histogram_ = std::move(histogram);
    binLabels_ = binLabels;
    scoreAxis_ = scoreAxis;
    countAxis_ = countAxis;
    update();
}

QSize TScoreHistogram::sizeHint() const {
    return {360, 200};
}

QRect TScoreHistogram::PlotRect() const {
    return rect().adjusted(LeftMargin, TopMargin, -RightMargin, -BottomMargin);
}

THistogramGeometry TScoreHistogram::Geometry() const {
    const QRect plot = PlotRect();
    return THistogramGeometry(histogram_, plot.width(), plot.height());
}

QRect TScoreHistogram::BarRect(std::size_t bin) const {
    if (bin >= histogram_.counts.size() || histogram_.counts[bin] == 0) {
        return {};
    }
    const THistogramGeometry geometry = Geometry();
    const QRect plot = PlotRect();
    const int height = static_cast<int>(geometry.BarHeight(bin));
    const int left = plot.left() + static_cast<int>(geometry.BarLeft(bin));
    const int right = plot.left() + static_cast<int>(geometry.BarLeft(bin + 1));
    return QRect(QPoint(left + 1, plot.bottom() - height + 1), QPoint(right - 1, plot.bottom()));
}

void TScoreHistogram::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRect plot = PlotRect();
    const QFontMetrics metrics = fontMetrics();
    const THistogramGeometry geometry = Geometry();
    painter.setPen(palette().color(QPalette::Text));
    for (std::size_t bin = 0; bin < geometry.Bins(); ++bin) {
        const QRect bar = BarRect(bin);
        if (!bar.isEmpty()) {
            painter.fillRect(bar, BarFill);
            painter.setPen(BarLine);
            painter.drawRect(bar.adjusted(0, 0, -1, -1));
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(QRect(bar.left(), bar.top() - metrics.height() - LabelGap + 1,
                                   bar.width(), metrics.height()),
                             Qt::AlignHCenter | Qt::AlignBottom,
                             QString::number(geometry.Count(bin)));
        }
        if (geometry.IsLabelled(bin) && bin < static_cast<std::size_t>(binLabels_.size())) {
            const int x = plot.left() + static_cast<int>(geometry.BarLeft(bin));
            painter.drawText(
                QPoint(x - metrics.horizontalAdvance(binLabels_[static_cast<qsizetype>(bin)]) / 2,
                       plot.bottom() + LabelGap + metrics.ascent()),
                binLabels_[static_cast<qsizetype>(bin)]);
        }
    }
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(
        QRect(0, plot.bottom() - metrics.height() / 2, LeftMargin - LabelGap, metrics.height()),
        Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));
    painter.drawText(
        QRect(0, plot.top() - metrics.height() / 2, LeftMargin - LabelGap, metrics.height()),
        Qt::AlignRight | Qt::AlignVCenter, QString::number(geometry.HighestCount()));
    painter.drawText(QRect(plot.left(), 0, plot.width(), TopMargin - LabelGap),
                     Qt::AlignLeft | Qt::AlignBottom, countAxis_);
    painter.drawText(
        QRect(plot.left(), height() - metrics.height(), plot.width(), metrics.height()),
        Qt::AlignHCenter | Qt::AlignBottom, scoreAxis_);
}
