#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

// Widgets need an application object. The tests run on the offscreen platform unless the
// environment names another, so that they need no display (listing them included).
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::vector<char*> arguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        arguments.push_back(platformOption);
        arguments.push_back(offscreen);
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    QApplication application(count, arguments.data());
    return RUN_ALL_TESTS();
}
