#include "TestScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

double TestScale() {
    const char* value = std::getenv("PELLORAN_TEST_SCALE");
    if (value == nullptr || *value == '\0') {
        return 1;
    }
    char* end = nullptr;
    const double scale = std::strtod(value, &end);
    if (*end != '\0' || !std::isfinite(scale) || scale <= 0) {
        throw std::invalid_argument(std::string("PELLORAN_TEST_SCALE is not a positive number: ") +
                                    value);
    }
    return scale;
}

int Scaled(int fullCount, int least) {
    const double scaled = std::round(fullCount * TestScale());
    return std::max(least, static_cast<int>(std::min<double>(scaled, 1 << 30)));
}
