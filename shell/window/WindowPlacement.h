#pragma once

#include <QObject>
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
