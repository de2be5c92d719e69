#include "TestText.h"
#include "shell/window/ShellText.h"

#include <gtest/gtest.h>
#include <string>

namespace {

#ifndef _WIN32
struct TPathCase {
    const char* name;
    std::string bytes;
    friend void PrintTo(const TPathCase& c, std::ostream* os) { *os << c.name; }
};

class PathText : public testing::TestWithParam<TPathCase> {};

TEST_P(PathText, BytesComeBackWholeAndUtf8ReadsAsItself) {
    const std::string& bytes = GetParam().bytes;
    const QString name = FromPathText(bytes);
    EXPECT_EQ(ToPathText(name), bytes) << Escaped(bytes);
    const QString utf8 = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (utf8.toStdString() == bytes) {
        EXPECT_EQ(name, utf8) << Escaped(bytes);
    } else {
        EXPECT_FALSE(name.contains(QChar::ReplacementCharacter)) << Escaped(bytes);
    }
}

const TPathCase PathCases[] = {
    {"Utf8Japanese", "/home/t/試験　1.csv"},
    {"Utf8BeyondTheBasicPlane", "/srv/\xF0\x9F\x93\x9D.csv"},
    {"ShiftJis", "/srv/\x8e\x8e\x8c\xb1.csv"},
    {"LoneContinuationByte", "/srv/a\x80"},
    {"CutSequence", "/srv/\xe3\x81"},
    {"OverlongSlash", "/srv/\xc0\xaf"},
    {"EncodedSurrogate", "/srv/\xed\xa0\x80"},
    {"EscapeLookalikeInUtf8", "/srv/\xed\xb2\x80"},
};
INSTANTIATE_TEST_SUITE_P(Names, PathText, testing::ValuesIn(PathCases), TCaseName());
#endif

} // namespace
