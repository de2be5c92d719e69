#pragma once

#include <vector>

/// A program's arguments for its QApplication, with "-platform offscreen" added unless the
/// environment names a platform (QT_QPA_PLATFORM): windows then need no display.
class TOffscreenArguments {
public:
    TOffscreenArguments(int argc, char** argv);
    TOffscreenArguments(const TOffscreenArguments&) = delete;
    TOffscreenArguments& operator=(const TOffscreenArguments&) = delete;

    /// What QApplication takes; both live as long as this object.
    int& Count() { return count_; }
    char** Values() { return values_.data(); }

private:
    char platformOption_[10] = "-platform";
    char offscreen_[10] = "offscreen";
    std::vector<char*> values_;
    int count_ = 0;
};
