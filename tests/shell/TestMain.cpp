#include "OffscreenArguments.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widgets need an application object, on the offscreen platform unless the environment names
// another, so that the tests need no display (listing them included).
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TOffscreenArguments arguments(argc, argv);
    QApplication application(arguments.Count(), arguments.Values());
    return RUN_ALL_TESTS();
}
