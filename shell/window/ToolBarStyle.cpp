#include "shell/window/ToolBarStyle.h"

#include <QToolBar>

int TFlushToolBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                    const QWidget* widget) const {
    switch (metric) {
    case PM_ToolBarFrameWidth:
    case PM_ToolBarItemMargin:
    case PM_ToolBarItemSpacing:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void PlaceButtonsFlush(QToolBar& toolBar) {
    auto* style = new TFlushToolBarStyle;
    // A widget does not own its style: the window does, and deletes it after the toolbar.
    style->setParent(toolBar.window());
    toolBar.setStyle(style);
}
