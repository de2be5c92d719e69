#include "ShellTestSupport.h"

#include <gtest/gtest.h>

namespace {

/// Classes of a few students and of many, three questions each.
class GridKeys : public TWindowInUse, public testing::WithParamInterface<int> {
protected:
    int LastStudentRow() const { return TAnswerTable::FirstStudentRow + GetParam() - 1; }
};

constexpr int LastQuestionColumn = TAnswerTable::FirstQuestionColumn + 2;

TEST_P(GridKeys, CtrlEndGoesToTheTablesLastCellAndNoKeyRaisesAnError) {
    Open(ClassText(GetParam(), 3));
    Enter(3, 3);
    Press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(View().CurrentColumn(), LastQuestionColumn);
    EXPECT_EQ(View().CurrentRow(), LastStudentRow());
    Press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(View().CurrentColumn(), 1);
    EXPECT_EQ(View().CurrentRow(), 1);

    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up,
                              Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_End, Qt::Key_Home}) {
        Press(key, Qt::ControlModifier);
        Press(key);
        Press(Qt::Key_Return);
        Press(Qt::Key_Escape);
    }
    Enter(View().Model().ShownColumnCount() - 1, LastStudentRow());
    Press(Qt::Key_Return);
    Press(Qt::Key_End, Qt::ControlModifier);
    Press(Qt::Key_Escape);
    EXPECT_EQ(services.errors.join(QLatin1Char('\n')), QString());
}

INSTANTIATE_TEST_SUITE_P(Students, GridKeys, testing::Values(40, 5000));

} // namespace
