#include "WindowPlacement.h"

#include <QEvent>
#include <QRect>
#include <QScreen>
#include <QWidget>

TOuterPlacement::TOuterPlacement(QWidget& window, QSize outerSize)
    : QObject(&window), window_(window), outerSize_(outerSize) {
    window_.resize(outerSize_);
    window_.installEventFilter(this);
}

bool TOuterPlacement::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == &window_ &&
        (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)) {
        if (!centred_ && type == QEvent::Show) {
            centred_ = true;
            CentreOnScreen();
        }
        // A maximised window keeps the size the window system gave it.
        if (centred_ && (window_.isMaximized() || window_.isFullScreen() || FitToFrame())) {
            window_.removeEventFilter(this);
        }
    }
    return QObject::eventFilter(watched, event);
}

void TOuterPlacement::CentreOnScreen() {
    if (const QScreen* screen = window_.screen()) {
        // A window's position is its frame's.
        window_.move(screen->availableGeometry().center() - QRect(QPoint(), outerSize_).center());
    }
}

bool TOuterPlacement::FitToFrame() {
    const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
    if (frame.isEmpty()) {
        return false;
    }
    window_.resize(outerSize_ - frame);
    return true;
}
