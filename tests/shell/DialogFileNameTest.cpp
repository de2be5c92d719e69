#include "shell/window/DialogFileName.h"

#include "TestFiles.h"
#include "shell/window/ShellText.h"

#include <QFile>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

#ifndef _WIN32
/// The name as Qt's dialogs show and return it.
QString AsQtShowsIt(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

TEST(DialogFileName, ANameThatIsNoUtf8IsTheFileQtShowedSo) {
    TTemporaryFolder folder;
    const std::filesystem::path shiftJisFolder = folder / "\x8e\x8e\x8c\xb1";
    const std::filesystem::path inIt = shiftJisFolder / "\x82\xa0.csv";
    std::filesystem::create_directories(shiftJisFolder);
    WriteTestFile(inIt, "");
    EXPECT_EQ(DialogFileName(AsQtShowsIt(inIt)), FromNativePath(inIt));
    const std::filesystem::path toBeMade = shiftJisFolder / "quiz.csv";
    EXPECT_EQ(DialogFileName(AsQtShowsIt(toBeMade)), FromNativePath(toBeMade));

    // Two names that Qt shows alike: the answer means neither for sure.
    WriteTestFile(shiftJisFolder / "\x82\xa1.csv", "");
    EXPECT_EQ(DialogFileName(AsQtShowsIt(inIt)),
              FromNativePath(shiftJisFolder) + QStringLiteral("/\uFFFD\uFFFD.csv"));
    const QString utf8Name = FromNativePath(folder / "試験.csv");
    EXPECT_EQ(DialogFileName(utf8Name), utf8Name);
}
#endif

} // namespace
