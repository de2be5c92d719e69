#include "OffscreenArguments.h"

#include <cstdlib>

TOffscreenArguments::TOffscreenArguments(int argc, char** argv) : values_(argv, argv + argc) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        values_.push_back(platformOption_);
        values_.push_back(offscreen_);
    }
    count_ = static_cast<int>(values_.size());
    values_.push_back(nullptr);
}
