#pragma once

#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

/// Gives a top-level window an outer size, its frame included, and centres it on its screen
/// when it is first shown. The window system tells the frame's size only once it has framed
/// the window, so the size is set again as the frame becomes known; from then on the window is
/// the user's to resize.
class TOuterPlacement : public QObject {
public:
    /// Belongs to `window`, which it resizes at once to `outerSize` as a first guess.
    TOuterPlacement(QWidget& window, QSize outerSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CentreOnScreen();
    /// Sets the client size from the frame once the frame is known, then stops watching.
    void FitToFrame();

    QWidget& window_;
    QSize outerSize_;
    bool centred_ = false;
    bool fitted_ = false;
};

/// Where a window of `size` goes beside the main window `mainFrame` on `screen` (frames
/// included): to its right, or to its left, where there is room; else against the screen's edge
/// on the roomier side, below `keepClearBottom` (the bottom of the rows it must not hide) or
/// above the main window, whichever leaves it taller, shortened to fit.
QRect PlaceBeside(const QRect& mainFrame, int keepClearBottom, QSize size, const QRect& screen);
