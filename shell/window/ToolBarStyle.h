#pragma once

#include <QProxyStyle>

class QToolBar;

/// The style of a toolbar whose buttons lie side by side from its very left edge, without the
/// frame, margins and gaps that the application's style puts around them.
class TFlushToolBarStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};

/// Gives the toolbar, already placed in its window, a TFlushToolBarStyle of its own.
void PlaceButtonsFlush(QToolBar& toolBar);
