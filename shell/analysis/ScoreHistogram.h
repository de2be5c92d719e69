#pragma once

#include "analysis/HistogramGeometry.h"
#include "analysis/ItemAnalysis.h"

#include <QStringList>
#include <QWidget>

/// The scores' histogram drawn with the painter: a bar per bin with its count above it, the
/// bins' starts below, the axes' titles.
class TScoreHistogram : public QWidget {
public:
    explicit TScoreHistogram(QWidget* parent = nullptr);

    void SetHistogram(THistogram histogram, const QStringList& binLabels, const QString& scoreAxis,
                      const QString& countAxis);

    /// Where bin `bin`'s bar is drawn at the widget's present size; empty for an empty bin.
    QRect BarRect(std::size_t bin) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect PlotRect() const;
    /// The histogram laid out on the plot at the widget's present size.
    THistogramGeometry Geometry() const;

    THistogram histogram_;
    QStringList binLabels_;
    QString scoreAxis_;
    QString countAxis_;
};
