#include "platform/Paths.h"

#include "TestText.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct TPathCase {
    const char* name;
    std::string fileName;
    std::string dir;
    std::string file;
    friend void PrintTo(const TPathCase& c, std::ostream* os) { *os << c.name; }
};

class PathSplitting : public testing::TestWithParam<TPathCase> {};

TEST_P(PathSplitting, SplitsAtTheLastSeparator) {
    const TPathCase& c = GetParam();
    EXPECT_EQ(ExtractFileDir(c.fileName), c.dir) << Escaped(c.fileName);
    EXPECT_EQ(ExtractFileName(c.fileName), c.file) << Escaped(c.fileName);
    EXPECT_EQ(ExtractFileDrive(c.fileName), "") << Escaped(c.fileName);
}

const TPathCase PathCases[] = {
    {"InFolder", "/a/b.csv", "/a", "b.csv"},
    {"InRoot", "/b.csv", "/", "b.csv"},
    {"Root", "/", "/", ""},
    {"NoFolder", "b.csv", "", "b.csv"},
    {"Relative", "a/b/c", "a/b", "c"},
    {"EndsWithSeparator", "/a/b/", "/a/b", ""},
    {"CodePageNames", "/\x83\x5c/\x95\x5c.csv", "/\x83\x5c", "\x95\x5c.csv"},
    {"Utf8Names", "/home/テスト/問題.csv", "/home/テスト", "問題.csv"},
};
INSTANTIATE_TEST_SUITE_P(Paths, PathSplitting, testing::ValuesIn(PathCases), TCaseName());

struct TExtensionCase {
    const char* name;
    std::string fileName;
    std::string extension;
    std::string changed;
    friend void PrintTo(const TExtensionCase& c, std::ostream* os) { *os << c.name; }
};

class FileExtension : public testing::TestWithParam<TExtensionCase> {};

TEST_P(FileExtension, ReplacesTheLastExtensionOfTheName) {
    const TExtensionCase& c = GetParam();
    EXPECT_EQ(ChangeFileExt(c.fileName, c.extension), c.changed) << Escaped(c.fileName);
}

const TExtensionCase ExtensionCases[] = {
    {"Replaced", "/a/Pelloran", ".ini", "/a/Pelloran.ini"},
    {"LastDotOnly", "/a/b.tar.gz", ".lng", "/a/b.tar.lng"},
    {"DotInFolderIgnored", "/a.d/b", ".ini", "/a.d/b.ini"},
    {"Removed", "b.csv", "", "b"},
    {"DoubleByteName", "/\x95\x5c.csv", ".ini", "/\x95\x5c.ini"},
};
INSTANTIATE_TEST_SUITE_P(Paths, FileExtension, testing::ValuesIn(ExtensionCases), TCaseName());

} // namespace
