#include "platform/ProfileFile.h"

#include "TestFiles.h"
#include "TestText.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct TProfileCase {
    const char* name;
    std::string bytes;
    std::string section;
    std::string key;
    std::string value;
    friend void PrintTo(const TProfileCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileReading : public testing::TestWithParam<TProfileCase> {};

TEST_P(ProfileReading, FindsTheValueAsWindowsDoes) {
    const TProfileCase& c = GetParam();
    const TProfileFile profile = TProfileFile::FromBytes(c.bytes);
    EXPECT_EQ(profile.ReadString(c.section, c.key, "default"), c.value)
        << "[" << Escaped(c.section) << "] " << Escaped(c.key) << " in " << Escaped(c.bytes);
}

const TProfileCase NameCases[] = {
    {"Found", "[Main]\r\nMsg1=Hello\r\n", "Main", "Msg1", "Hello"},
    {"CaseInsensitive", "[mAIN]\nmsg1=x\n", "Main", "MSG1", "x"},
    {"OtherSection", "[A]\nk=a\n[B]\nk=b\n", "B", "k", "b"},
    {"KeyOfOtherSection", "[A]\nk=a\n[B]\n", "B", "k", "default"},
    {"FirstSectionWins", "[S]\nk=1\n[s]\nk=2\nj=3\n", "S", "k", "1"},
    {"OnlyFirstSectionSearched", "[S]\nk=1\n[s]\nj=3\n", "S", "j", "default"},
    {"FirstKeyWins", "[S]\nK=1\nk=2\n", "S", "k", "1"},
    {"LinesBeforeFirstSection", "k=0\n[S]\nj=1\n", "S", "k", "default"},
    {"NoSectionName", "k=0\n[S]\n", "", "k", "default"},
    {"EmptySectionName", "[]\nk=e\n", "", "k", "e"},
    {"SectionNameTrimmed", " \t[ S \v] ignored\nk=1\n", "S", "k", "1"},
    {"SectionWithoutBracket", "[S\nk=1\n", "S", "k", "1"},
    {"NameEndsAtFirstBracket", "[S]x]\nk=1\n", "S", "k", "1"},
    {"ArgumentsTrimmedOfSpaces", "[S]\nk=1\n", " S ", " k ", "1"},
    {"ArgumentTabNotTrimmed", "[S]\nk=1\n", "S", "\tk", "default"},
    {"KeyNameTrimmed", "[S]\n \t k \v = v\n", "S", "k", "v"},
    {"LineWithoutEqualsNoKey", "[S]\nk\nk=1\n", "S", "k", "1"},
    {"Comment", "[S]\n ;k=1\nk=2\n", "S", "k", "2"},
    {"HashIsNoComment", "[S]\n#k=1\n", "S", "#k", "1"},
    {"CrLineBreaks", "[S]\rk=1\r", "S", "k", "1"},
    {"Utf8ByteOrderMarkLosesFirstLine", "\xef\xbb\xbf[S]\nk=1\n", "S", "k", "default"},
    {"DoubleByteTrailBracket", "[\x83\x5d]\nk=1\n", "\x83\x5d", "k", "1"},
    {"DoubleByteTrailLetterNotFolded", "[S]\n\x83\x41=1\n", "S", "\x83\x61", "default"},
};
INSTANTIATE_TEST_SUITE_P(Names, ProfileReading, testing::ValuesIn(NameCases), TCaseName());

const TProfileCase ValueCases[] = {
    {"Trimmed", "[S]\nk= \t v w \v\n", "S", "k", "v w"},
    {"EmptyIsNotDefault", "[S]\nk=\n", "S", "k", ""},
    {"EqualsInValue", "[S]\nk=a=b\n", "S", "k", "a=b"},
    {"NoEndOfLineComment", "[S]\nk=a ;b\n", "S", "k", "a ;b"},
    {"DoubleQuotesStripped", "[S]\nk= \" a b \" \n", "S", "k", " a b "},
    {"SingleQuotesStripped", "[S]\nk='x'\n", "S", "k", "x"},
    {"OnlyOuterPairStripped", "[S]\nk=''x''\n", "S", "k", "'x'"},
    {"MixedQuotesKept", "[S]\nk='x\"\n", "S", "k", "'x\""},
    {"LoneQuoteKept", "[S]\nk=\"\n", "S", "k", "\""},
    {"EmptyQuotes", "[S]\nk=\"\"\n", "S", "k", ""},
    {"CutAtBufferSize", "[S]\nk=" + std::string(3000, 'v') + "\n", "S", "k",
     std::string(2047, 'v')},
    {"DoubleByteValue", "[S]\nk=\x83\x5c\x95\x5c\n", "S", "k", "\x83\x5c\x95\x5c"},
};
INSTANTIATE_TEST_SUITE_P(Values, ProfileReading, testing::ValuesIn(ValueCases), TCaseName());

TEST(ProfileFile, DefaultLosesTrailingSpacesOnly) {
    const TProfileFile profile = TProfileFile::FromBytes("");
    EXPECT_EQ(profile.ReadString("S", "k", " d  "), " d");
    EXPECT_EQ(profile.ReadString("S", "k", "d\t"), "d\t");
    EXPECT_EQ(profile.ReadString("S", "k", std::string(3000, 'd')), std::string(2047, 'd'));
}

TEST(ProfileFile, ReadsFromFile) {
    TTemporaryFolder folder;
    WriteTestFile(folder / "Pelloran.ini", "[Setting]\r\nCurrentDir=/home/a\r\n");
    EXPECT_EQ(TProfileFile(folder / "Pelloran.ini").ReadString("Setting", "CurrentDir", ""),
              "/home/a");
    EXPECT_EQ(TProfileFile(folder / "missing.ini").ReadString("Setting", "CurrentDir", "d"), "d");
    EXPECT_EQ(TProfileFile(folder.Path()).ReadString("Setting", "CurrentDir", "d"), "d");
}

} // namespace
