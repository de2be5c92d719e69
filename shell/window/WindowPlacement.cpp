#include "shell/window/WindowPlacement.h"

#include <QEvent>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

TOuterPlacement::TOuterPlacement(QWidget& window, QSize outerSize)
    : QObject(&window), window_(window), outerSize_(outerSize) {
    window_.resize(outerSize_);
    window_.installEventFilter(this);
}

bool TOuterPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::Show:
        if (!centred_) {
            centred_ = true;
            CentreOnScreen();
            FitToFrame();
        }
        break;
    // The window system frames the window before it shows or activates it; a frame that keeps
    // the window where it is moves nothing, so the first painting is watched too.
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Paint:
    case QEvent::WindowActivate:
        if (centred_ && event->spontaneous()) {
            // Not resized in the middle of a painting.
            QMetaObject::invokeMethod(this, &TOuterPlacement::FitToFrame, Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return false;
}

void TOuterPlacement::CentreOnScreen() {
    if (const QScreen* screen = window_.screen()) {
        // A window's position is its frame's.
        window_.move(screen->availableGeometry().center() - QRect(QPoint(), outerSize_).center());
    }
}

void TOuterPlacement::FitToFrame() {
    if (fitted_) {
        return;
    }
    const QWindow* shown = window_.windowHandle();
    const QMargins margins = shown != nullptr ? shown->frameMargins() : QMargins();
    const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
    const bool frameKnown = !margins.isNull() && margins.left() >= 0 && margins.right() >= 0 &&
                            margins.top() >= 0 && margins.bottom() >= 0 &&
                            frame.width() < outerSize_.width() &&
                            frame.height() < outerSize_.height();
    // A maximised window keeps the size the window system gave it; an active window without a
    // frame has none to allow for.
    if (window_.isMaximized() || window_.isFullScreen() ||
        (!frameKnown && window_.isActiveWindow())) {
        fitted_ = true;
    } else if (frameKnown) {
        window_.resize(outerSize_ - frame);
        // The window system may have put the frame around the window where it stood.
        CentreOnScreen();
        fitted_ = true;
    }
    if (fitted_) {
        window_.removeEventFilter(this);
    }
}

QRect PlaceBeside(const QRect& mainFrame, int keepClearBottom, QSize size, const QRect& screen) {
    QRect placed(QPoint(), size.boundedTo(screen.size()));
    const int top =
        std::clamp(mainFrame.top(), screen.top(), screen.bottom() + 1 - placed.height());
    if (mainFrame.right() + placed.width() <= screen.right()) {
        placed.moveTopLeft({mainFrame.right() + 1, top});
        return placed;
    }
    if (mainFrame.left() - placed.width() >= screen.left()) {
        placed.moveTopLeft({mainFrame.left() - placed.width(), top});
        return placed;
    }
    const int roomBelow = screen.bottom() - keepClearBottom;
    const int roomAbove = mainFrame.top() - screen.top();
    if (roomBelow >= roomAbove) {
        placed.setHeight(std::min(placed.height(), roomBelow));
        placed.moveTop(keepClearBottom + 1);
    } else {
        placed.setHeight(std::min(placed.height(), roomAbove));
        placed.moveBottom(mainFrame.top() - 1);
    }
    const bool rightRoomier =
        screen.right() - mainFrame.right() >= mainFrame.left() - screen.left();
    if (rightRoomier) {
        placed.moveRight(screen.right());
    } else {
        placed.moveLeft(screen.left());
    }
    return placed;
}
