#include <QWidget>
#include <gtest/gtest.h>

TEST(Shell, RunsOnTheOffscreenPlatform) {
    QWidget widget;
    widget.show();
    EXPECT_TRUE(widget.isVisible());
}
