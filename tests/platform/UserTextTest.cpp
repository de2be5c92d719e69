#include "platform/UserText.h"

#include <gtest/gtest.h>

namespace {

const TUserText Told("Told", "%1 に %2 があります",
                     {TUserText::Literal("a%1.csv"),
                      TUserText("Place", "行 %1", {TUserText::Number(3)})});

TEST(UserText, WithoutALanguageFileIsJapanese) {
    EXPECT_EQ(Told.Japanese(), "a%1.csv に 行 3 があります");
    EXPECT_EQ(Told.Render(TLanguageTexts()), Told.Japanese());
}

// Each text is worded by its own key, so a place inside a message follows the language; the
// file's value is code page 932.
TEST(UserText, TheLanguageFileWordsEachTextItHasAKeyFor) {
    const auto texts = [](std::string file) {
        return TLanguageTexts(TProfileFile::FromBytes("[Messages]\r\n" + std::move(file)));
    };
    EXPECT_EQ(Told.Render(texts("Told=%2 in %1\r\nPlace=row %1\r\n")), "row 3 in a%1.csv");
    EXPECT_EQ(Told.Render(texts("Place=row %1\r\n")), "a%1.csv に row 3 があります");
    EXPECT_EQ(Told.Render(texts("told=\x8d\x73 %2<br>%3\r\n")), "行 行 3\n%3");
    EXPECT_EQ(Told.Render(texts("Told=\r\n")), "") << "an empty wording is a wording";
}

TEST(UserText, LinesStandOneBelowTheOther) {
    EXPECT_EQ(TUserText::Lines({Told, TUserText::Literal("b")}).Japanese(),
              Told.Japanese() + "\nb");
}

} // namespace
