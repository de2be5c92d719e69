// The Win32 side of path texts: drives, shares, '\' and ':' as separators, code page 932
// names, and the names the process and the locale give.

#include "TestText.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/Paths.h"
#include "platform/UserFolders.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct TPathCase {
    std::string name;
    std::string fileName;
    std::string folder;
    std::string fileNamePart;
    std::string drive;
    std::string withOtherExtension; // ChangeFileExt to ".bak"
};

class WindowsPathSplitting : public testing::TestWithParam<TPathCase> {};

TEST_P(WindowsPathSplitting, SplitsAsWindowsNamesAreBuilt) {
    const TPathCase& c = GetParam();
    EXPECT_EQ(Escaped(ExtractFileDir(c.fileName)), Escaped(c.folder));
    EXPECT_EQ(Escaped(ExtractFileName(c.fileName)), Escaped(c.fileNamePart));
    EXPECT_EQ(Escaped(ExtractFileDrive(c.fileName)), Escaped(c.drive));
    EXPECT_EQ(Escaped(ChangeFileExt(c.fileName, ".bak")), Escaped(c.withOtherExtension));
}

// "\x95\x5C" is 表 in code page 932: its second byte is a '\' that separates nothing.
INSTANTIATE_TEST_SUITE_P(
    Paths, WindowsPathSplitting,
    testing::Values(
        TPathCase{"DriveRoot", "C:\\", "C:\\", "", "C:", "C:\\.bak"},
        TPathCase{"FileInDriveRoot", "C:\\quiz.csv", "C:\\", "quiz.csv", "C:", "C:\\quiz.bak"},
        TPathCase{"FileInFolder", "C:\\a\\b.csv", "C:\\a", "b.csv", "C:", "C:\\a\\b.bak"},
        TPathCase{"DriveRelative", "C:a.csv", "C:", "a.csv", "C:", "C:a.bak"},
        TPathCase{"DotInTheFolderOnly", "C:\\a.b\\c", "C:\\a.b", "c", "C:", "C:\\a.b\\c.bak"},
        TPathCase{"FileOnShare", "\\\\server\\share\\x.csv", "\\\\server\\share", "x.csv",
                  "\\\\server\\share", "\\\\server\\share\\x.bak"},
        TPathCase{"ShareAlone", "\\\\server\\share", "\\\\server", "share", "\\\\server\\share",
                  "\\\\server\\share.bak"},
        TPathCase{"Relative", "a\\b.csv", "a", "b.csv", "", "a\\b.bak"},
        TPathCase{"CodePageFolder", "C:\\\x95\x5C\\x.csv", "C:\\\x95\x5C", "x.csv",
                  "C:", "C:\\\x95\x5C\\x.bak"},
        TPathCase{"CodePageFileName", "C:\\a\\\x95\x5C.csv", "C:\\a", "\x95\x5C.csv",
                  "C:", "C:\\a\\\x95\x5C.bak"},
        TPathCase{"CodePageShare", "\\\\server\\\x95\x5C\\x.csv", "\\\\server\\\x95\x5C", "x.csv",
                  "\\\\server\\\x95\x5C", "\\\\server\\\x95\x5C\\x.bak"},
        TPathCase{"Utf8Folder", "C:\\表\\x.csv", "C:\\表", "x.csv", "C:", "C:\\表\\x.bak"}),
    TCaseName());

struct TNameCase {
    std::string name;
    std::string text;
    std::wstring native;
};

class WindowsPathText : public testing::TestWithParam<TNameCase> {};

TEST_P(WindowsPathText, NamesTheFileAndGivesItsTextBack) {
    const std::filesystem::path path = PathFromText(GetParam().text);
    EXPECT_TRUE(path.native() == GetParam().native);
    EXPECT_EQ(PathText(path), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WindowsPathText,
    testing::Values(TNameCase{"Japanese", "C:\\成績\\テスト.csv", L"C:\\成績\\テスト.csv"},
                    TNameCase{"KoreanOutsideTheCodePage", "시험.csv", L"시험.csv"},
                    TNameCase{"EmojiOutsideTheBasicPlane", "\xF0\x9F\x98\x80.csv",
                              L"\U0001F600.csv"},
                    TNameCase{"Empty", "", L""}),
    TCaseName());

// Settings written by code-page programs hold names in code page 932; they name the same files.
TEST(WindowsPathText, ReadsATextThatIsNoUtf8AsCodePage932) {
    EXPECT_TRUE(PathFromText("C:\\\x95\x5C\\\x83\x65\x83\x58\x83\x67.csv").native() ==
                L"C:\\表\\テスト.csv");
    EXPECT_EQ(PathText(PathFromText("\x83\x65\x83\x58\x83\x67.csv")), "テスト.csv");
    EXPECT_EQ(PathText(PathFromText("\xB1\xB2.csv")), "ｱｲ.csv") << "half-width katakana";
}

TEST(WindowsUserFolders, AreTheKnownFoldersWithoutATrailingSeparator) {
    EXPECT_EQ(PersonalFolder({"C:\\Users\\\x95\x5C\\Documents\\", "D:\\"}),
              "C:\\Users\\\x95\x5C\\Documents");
    EXPECT_EQ(AppDataFolder({"C:\\Users\\\x95\x5C\\Documents\\", "D:\\"}), "D:\\")
        << "a drive root keeps its separator";
    EXPECT_EQ(PersonalFolder({"", ""}), "");
    const TUserEnvironment process = TUserEnvironment::FromProcess();
    for (const std::string& folder : {PersonalFolder(process), AppDataFolder(process)}) {
        EXPECT_TRUE(PathFromText(folder).is_absolute()) << folder;
        EXPECT_TRUE(FolderExists(PathFromText(folder))) << folder;
    }
}

TEST(WindowsProcess, ExecutablePathIsTheFullNameOfTheExe) {
    const std::filesystem::path executable = ExecutablePath();
    EXPECT_TRUE(executable.is_absolute()) << PathText(executable);
    EXPECT_EQ(PathText(executable.filename()), "platform_tests.exe");
    EXPECT_TRUE(FileExists(executable));
}

TEST(WindowsLocale, DecimalSeparatorIsOneAsciiCharacterThatIsNoDigit) {
    const char separator = DecimalSeparator();
    EXPECT_GT(separator, ' ');
    EXPECT_LT(separator, '\x7F');
    EXPECT_FALSE(separator >= '0' && separator <= '9') << separator;
}

} // namespace
