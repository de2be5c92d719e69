#include "shell/analysis/ScoreHistogram.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr int LeftMargin = 34;
constexpr int RightMargin = 10;
constexpr int TopMargin = 22;
constexpr int BottomMargin = 34;
constexpr int LabelGap = 3;
constexpr int MostBinLabels = 11;
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

double TScoreHistogram::BarWidth() const {
    const auto bins = std::max<std::size_t>(histogram_.counts.size(), 1);
    return static_cast<double>(PlotRect().width()) / static_cast<double>(bins);
}

int TScoreHistogram::HighestCount() const {
    return histogram_.counts.empty()
               ? 0
               : *std::max_element(histogram_.counts.begin(), histogram_.counts.end());
}

QRect TScoreHistogram::BarRect(std::size_t bin) const {
    const int count = bin < histogram_.counts.size() ? histogram_.counts[bin] : 0;
    if (count == 0) {
        return {};
    }
    const QRect plot = PlotRect();
    const int height = plot.height() * count / HighestCount();
    const int left = plot.left() + static_cast<int>(static_cast<double>(bin) * BarWidth());
    const int right = plot.left() + static_cast<int>(static_cast<double>(bin + 1) * BarWidth());
    return QRect(QPoint(left + 1, plot.bottom() - height + 1), QPoint(right - 1, plot.bottom()));
}

void TScoreHistogram::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRect plot = PlotRect();
    const QFontMetrics metrics = fontMetrics();
    const std::size_t bins = histogram_.counts.size();
    const std::size_t labelStep =
        std::max<std::size_t>(1, (bins + MostBinLabels - 1) / MostBinLabels);
    painter.setPen(palette().color(QPalette::Text));
    for (std::size_t bin = 0; bin < bins; ++bin) {
        const QRect bar = BarRect(bin);
        if (!bar.isEmpty()) {
            painter.fillRect(bar, BarFill);
            painter.setPen(BarLine);
            painter.drawRect(bar.adjusted(0, 0, -1, -1));
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(QRect(bar.left(), bar.top() - metrics.height() - LabelGap + 1,
                                   bar.width(), metrics.height()),
                             Qt::AlignHCenter | Qt::AlignBottom,
                             QString::number(histogram_.counts[bin]));
        }
        if (bin % labelStep == 0 && bin < static_cast<std::size_t>(binLabels_.size())) {
            const int x = plot.left() + static_cast<int>(static_cast<double>(bin) * BarWidth());
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
        Qt::AlignRight | Qt::AlignVCenter, QString::number(HighestCount()));
    painter.drawText(QRect(plot.left(), 0, plot.width(), TopMargin - LabelGap),
                     Qt::AlignLeft | Qt::AlignBottom, countAxis_);
    painter.drawText(
        QRect(plot.left(), height() - metrics.height(), plot.width(), metrics.height()),
        Qt::AlignHCenter | Qt::AlignBottom, scoreAxis_);
}
