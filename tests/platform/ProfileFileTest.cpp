#include "platform/ProfileFile.h"

#include "TestFiles.h"
#include "TestText.h"
#include "platform/Errors.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace std::string_literals;
namespace fs = std::filesystem;

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

/// One edit of a profile: a write, or the erasure of the section when there is no key.
struct TEdit {
    std::string section;
    std::optional<std::string> key;
    std::string value;
};

TEdit Write(std::string section, std::string key, std::string value) {
    return {std::move(section), std::move(key), std::move(value)};
}

TEdit Erase(std::string section) {
    return {std::move(section), std::nullopt, {}};
}

void Apply(TProfileFile& profile, const std::vector<TEdit>& edits) {
    for (const TEdit& edit : edits) {
        if (edit.key) {
            profile.WriteString(edit.section, *edit.key, edit.value);
        } else {
            profile.EraseSection(edit.section);
        }
    }
}

struct TEditCase {
    const char* name;
    std::string before;
    std::vector<TEdit> edits;
    std::string after;
    friend void PrintTo(const TEditCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileEditing : public testing::TestWithParam<TEditCase> {};

TEST_P(ProfileEditing, ChangesOnlyTheLinesWritten) {
    const TEditCase& c = GetParam();
    TProfileFile profile = TProfileFile::FromBytes(c.before);
    Apply(profile, c.edits);
    EXPECT_EQ(Escaped(profile.Bytes()), Escaped(c.after)) << "edited " << Escaped(c.before);
}

const TEditCase WriteCases[] = {
    {"NewFile", "", {Write("Sec", "key", "value")}, "[Sec]\r\nkey=value\r\n"},
    {"NewSectionAppended",
     "[A]\r\nk=1\r\n",
     {Write("B", "k", "2")},
     "[A]\r\nk=1\r\n[B]\r\nk=2\r\n"},
    {"NewSectionAfterMissingFinalBreak",
     "[A]\nk=1",
     {Write("B", "k", "2")},
     "[A]\nk=1\r\n[B]\r\nk=2\r\n"},
    {"NewSectionAfterComments",
     "; top\r\n[A]\r\n;c\r\n",
     {Write("B", "k", "2")},
     "; top\r\n[A]\r\n;c\r\n[B]\r\nk=2\r\n"},
    {"ReplacedKeepingSpellingOfNames",
     "[s]\r\nKEY=old\r\nj=2\r\n",
     {Write("S", "key", "new")},
     "[s]\r\nKEY=new\r\nj=2\r\n"},
    {"ReplacedKeepingWhatPrecedesEquals",
     "[S]\n \t k = old ;c\n",
     {Write("S", "k", "new")},
     "[S]\n \t k =new\n"},
    {"ReplacedOnLastLineWithoutBreak", "[S]\rk=old", {Write("S", "k", "new")}, "[S]\rk=new"},
    {"FirstOfDuplicateKeysReplaced", "[S]\nk=1\nk=2\n", {Write("S", "k", "x")}, "[S]\nk=x\nk=2\n"},
    {"FirstOfDuplicateSectionsWritten",
     "[S]\na=1\n[s]\nk=2\n",
     {Write("S", "k", "x")},
     "[S]\na=1\nk=x\r\n[s]\nk=2\n"},
    {"NewKeyBeforeTrailingCommentsAndBlanks",
     "[S]\r\na=1\r\n;note\r\n\r\nother\r\n[T]\r\n",
     {Write("S", "b", "2")},
     "[S]\r\na=1\r\nb=2\r\n;note\r\n\r\nother\r\n[T]\r\n"},
    {"NewKeysInCallOrder",
     "[S]\r\n",
     {Write("S", "b", "1"), Write("S", "c", "2")},
     "[S]\r\nb=1\r\nc=2\r\n"},
    {"NewKeyRightAfterHeaderWithoutKeys",
     "[S]\n;c\n[T]\n",
     {Write("S", "k", "v")},
     "[S]\nk=v\r\n;c\n[T]\n"},
    {"NewKeyAfterHeaderWithoutBreak", "[S]", {Write("S", "k", "v")}, "[S]\r\nk=v\r\n"},
    {"NewKeyAfterLastLineWithoutBreak", "[S]\nk=1", {Write("S", "j", "2")}, "[S]\nk=1\r\nj=2\r\n"},
    {"SemicolonKeyIsCommentAndNeverMatches",
     "[S]\n;k=1\n",
     {Write("S", ";k", "2")},
     "[S]\n;k=2\r\n;k=1\n"},
    {"LinesBeforeFirstSectionUntouched",
     "k=0\n[S]\n",
     {Write("", "k", "1")},
     "k=0\n[S]\n[]\r\nk=1\r\n"},
    {"ArgumentsTrimmedOfSpacesValueVerbatim",
     "",
     {Write(" S ", " k ", " \"v\" ")},
     "[S]\r\nk= \"v\" \r\n"},
    {"EmptyValue", "[S]\nk=1\n", {Write("S", "k", ""), Write("S", "j", "")}, "[S]\nk=\nj=\r\n"},
    {"CrFileKept", "[A]\rx=1\r[B]\ry=2\r", {Write("A", "z", "3")}, "[A]\rx=1\rz=3\r\n[B]\ry=2\r"},
    {"LfFileKept", "[A]\nx=1\n\n[B]\ny=2\n", {Write("B", "y", "3")}, "[A]\nx=1\n\n[B]\ny=3\n"},
    {"NulBytesKept",
     "\0junk\0\r\n[S]\r\nk=a\0b\r\n"s,
     {Write("S", "j", "1")},
     "\0junk\0\r\n[S]\r\nk=a\0b\r\nj=1\r\n"s},
    {"DoubleByteBracketInName",
     "[\x83\x5d]\r\n",
     {Write("\x83\x5d", "k", "v")},
     "[\x83\x5d]\r\nk=v\r\n"},
    {"BrokenShiftJisKept",
     "[S]\r\nk=\x83\r\n\xfd\xff\x83",
     {Write("T", "k", "\x83")},
     "[S]\r\nk=\x83\r\n\xfd\xff\x83\r\n[T]\r\nk=\x83\r\n"},
};
INSTANTIATE_TEST_SUITE_P(Write, ProfileEditing, testing::ValuesIn(WriteCases), TCaseName());

const TEditCase EraseCases[] = {
    {"HeaderAndKeysGoCommentsAndOtherLinesStay",
     "[A]\r\nk=1\r\n;c\r\n\r\nx\r\nj=2\r\n[B]\r\nj=2\r\n",
     {Erase("a")},
     ";c\r\n\r\nx\r\n[B]\r\nj=2\r\n"},
    {"OnlyFirstOfDuplicates", "[A]\nk=1\n[a]\nk=2\n", {Erase("A")}, "[a]\nk=2\n"},
    {"MissingSection", "[A]\nk=1\n", {Erase("B")}, "[A]\nk=1\n"},
    {"LastSectionWithoutBreak", "[A]\nk=1\n[B]\nj=2", {Erase("B")}, "[A]\nk=1\n"},
    {"MiddleSection",
     "[A]\r\nk=1\r\n[B]\r\nj=2\r\n[C]\r\nl=3\r\n",
     {Erase(" B ")},
     "[A]\r\nk=1\r\n[C]\r\nl=3\r\n"},
    {"ThenWrittenAnewAtTheEnd",
     "[KeepFileNames]\r\nFileName1=a\r\nFileName10=z\r\n[Setting]\r\nCurrentDir=/x\r\n",
     {Erase("KeepFileNames"), Write("KeepFileNames", "FileName1", "b"),
      Write("KeepFileNames", "FileName2", "")},
     "[Setting]\r\nCurrentDir=/x\r\n[KeepFileNames]\r\nFileName1=b\r\nFileName2=\r\n"},
};
INSTANTIATE_TEST_SUITE_P(Erase, ProfileEditing, testing::ValuesIn(EraseCases), TCaseName());

struct TReadBackCase {
    const char* name;
    std::string before;
    std::string section;
    std::string key;
    std::string written;
    std::string read;
    friend void PrintTo(const TReadBackCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileReadBack : public testing::TestWithParam<TReadBackCase> {};

TEST_P(ProfileReadBack, ReadsWhatWasWrittenAsWindowsDoes) {
    const TReadBackCase& c = GetParam();
    TProfileFile profile = TProfileFile::FromBytes(c.before);
    profile.WriteString(c.section, c.key, c.written);
    EXPECT_EQ(profile.ReadString(c.section, c.key, "default"), c.read) << Escaped(profile.Bytes());
}

const TReadBackCase ReadBackCases[] = {
    {"Plain", "", "S", "k", "v", "v"},
    {"Trimmed", "[S]\nk=1\n", "S", "K", " \ta b\v ", "a b"},
    {"QuotesStripped", "[s]\n", "S", "k", "\" q \"", " q "},
    {"MixedQuotesKept", "", "S", "k", "'x\"", "'x\""},
    {"Cut", "[S]\nj=1\n", "s", "k", std::string(3000, 'v'), std::string(2047, 'v')},
    {"DoubleByte", "", "\x83\x5c", "\x95\x5c", "\x83\x5c\x95\x5c", "\x83\x5c\x95\x5c"},
    {"Empty", "[S]\nk=1\n", "S", "k", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Values, ProfileReadBack, testing::ValuesIn(ReadBackCases), TCaseName());

struct TBadArguments {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
    friend void PrintTo(const TBadArguments& value, std::ostream* out) { *out << value.name; }
};

class ProfileWriteRefusal : public testing::TestWithParam<TBadArguments> {};

// Each would break the file's lines, add a key or section of its own, or could never be found.
TEST_P(ProfileWriteRefusal, ThrowsAndChangesNothing) {
    const TBadArguments& c = GetParam();
    const std::string before = "[S]\r\nk=1\r\n";
    TProfileFile profile = TProfileFile::FromBytes(before);
    EXPECT_THROW(profile.WriteString(c.section, c.key, c.value), std::invalid_argument);
    EXPECT_EQ(profile.Bytes(), before);
}

const TBadArguments BadArguments[] = {
    {"ValueCr", "S", "k", "a\rb"},         {"ValueLf", "S", "k", "a\n[T]\nk=2"},
    {"ValueNul", "S", "k", "a\0b"s},       {"SectionLf", "S\nx=1\n[S", "k", "v"},
    {"SectionCr", "S\r", "k", "v"},        {"SectionNul", "S\0"s, "k", "v"},
    {"SectionBracket", "S]x", "k", "v"},   {"SectionEndsInLeadByte", "S\x83", "k", "v"},
    {"SectionTab", "\tS", "k", "v"},       {"KeyEquals", "S", "k=x", "v"},
    {"KeyLf", "S", "k\nj", "v"},           {"KeyNul", "S", "k\0"s, "v"},
    {"KeyOpensSection", "S", " [T]", "v"}, {"KeyVerticalTab", "S", "k\v", "v"},
};
INSTANTIATE_TEST_SUITE_P(Arguments, ProfileWriteRefusal, testing::ValuesIn(BadArguments),
                         TCaseName());

struct TReadingBackCase {
    const char* name;
    std::string text;
    std::optional<std::string> value;
    friend void PrintTo(const TReadingBackCase& value, std::ostream* out) { *out << value.name; }
};

class ProfileValueReadingBack : public testing::TestWithParam<TReadingBackCase> {};

// Callers such as the list of recent files store names through this value: what is written
// must read back as the name, and what cannot must be told before writing.
TEST_P(ProfileValueReadingBack, GivesTheTextBackThroughTheFile) {
    const TReadingBackCase& c = GetParam();
    const std::optional<std::string> value = TProfileFile::ValueReadingBack(c.text);
    EXPECT_EQ(value, c.value) << Escaped(c.text);
    EXPECT_EQ(TProfileFile::CanWriteValue(c.text),
              c.text.find_first_of("\r\n\0"s) == std::string::npos);
    if (value) {
        TProfileFile profile = TProfileFile::FromBytes("");
        profile.WriteString("S", "k", *value);
        EXPECT_EQ(profile.ReadString("S", "k", "default"), c.text) << Escaped(c.text);
    }
}

const TReadingBackCase ReadingBackCases[] = {
    {"Plain", "/home/t/a b.csv", "/home/t/a b.csv"},
    {"Empty", "", ""},
    {"LeadingBlank", " a.csv", "\" a.csv\""},
    {"TrailingTab", "a.csv\t", "\"a.csv\t\""},
    {"Quoted", "\"a\"", "\"\"a\"\""},
    {"OpeningApostrophe", "'a", "\"'a\""},
    {"InnerQuotes", "a\"b'", "a\"b'"},
    {"Cr", "a\rb", std::nullopt},
    {"Lf", "a\nb", std::nullopt},
    {"Nul", "a\0b"s, std::nullopt},
    {"Longest", std::string(TProfileFile::MaxValueLength, 'a'),
     std::string(TProfileFile::MaxValueLength, 'a')},
    {"TooLong", std::string(TProfileFile::MaxValueLength + 1, 'a'), std::nullopt},
    {"TooLongOnceQuoted", " " + std::string(TProfileFile::MaxValueLength - 2, 'a'), std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Values, ProfileValueReadingBack, testing::ValuesIn(ReadingBackCases),
                         TCaseName());

std::string IniErrorText(const fs::path& fileName) {
    return fileName.string() + " に書き込めません";
}

TEST(ProfileFileUpdate, CreatesTheFileLeavingNothingElse) {
    TTemporaryFolder folder;
    TProfileFile profile(folder / "Pelloran.ini");
    profile.WriteString("Setting", "CurrentDir", "/home/a");
    profile.UpdateFile();
    EXPECT_EQ(ReadTestFile(folder / "Pelloran.ini"), "[Setting]\r\nCurrentDir=/home/a\r\n");
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"Pelloran.ini"});
}

TEST(ProfileFileUpdate, WritesTheEditsAndKeepsEveryOtherByte) {
    TTemporaryFolder folder;
    const fs::path fileName = folder / "Pelloran.ini";
    WriteTestFile(fileName, "\0\n[Setting]\nCurrentDir=/old\n[KeepFileNames]\r\nFileName1=x\r"s);
    TProfileFile profile(fileName);
    profile.EraseSection("KeepFileNames");
    profile.WriteString("KeepFileNames", "FileName1", "/y");
    profile.WriteString("Setting", "CurrentDir", "/new");
    profile.UpdateFile();
    EXPECT_EQ(Escaped(ReadTestFile(fileName)),
              Escaped("\0\n[Setting]\nCurrentDir=/new\n[KeepFileNames]\r\nFileName1=/y\r\n"s));
    EXPECT_EQ(TProfileFile(fileName).ReadString("KeepFileNames", "FileName1", ""), "/y");
}

TEST(ProfileFileUpdate, WritesNothingWithoutEdits) {
    TTemporaryFolder folder;
    TProfileFile missing(folder / "missing.ini");
    missing.EraseSection("S");
    missing.UpdateFile();
    EXPECT_FALSE(fs::exists(folder / "missing.ini"));

    WriteTestFile(folder / "same.ini", "[S]\nk=1\n");
    TProfileFile same(folder / "same.ini");
    same.WriteString("S", "k", "1");
    // A rewrite would rename a new file over the old one, which gives it a new identity.
    const auto identityBefore = FileIdentity(folder / "same.ini");
    ASSERT_NE(identityBefore, 0U);
    same.UpdateFile();
    EXPECT_EQ(FileIdentity(folder / "same.ini"), identityBefore);
}

TEST(ProfileFileUpdate, ProfileWithoutFileIsALogicError) {
    TProfileFile profile = TProfileFile::FromBytes("[S]\nk=1\n");
    profile.WriteString("S", "k", "2");
    EXPECT_THROW(profile.UpdateFile(), std::logic_error);
}

struct TRefusalCase {
    const char* name;
    std::string fileName;
    /// Whether the case can be met here (TestFiles.h); null where it always can.
    bool (*canBeMet)();
    friend void PrintTo(const TRefusalCase& value, std::ostream* out) { *out << value.name; }
};

class ProfileFileRefusal : public testing::TestWithParam<TRefusalCase> {};

// The edits are not written and the old file, if any, stays exactly as it was.
TEST_P(ProfileFileRefusal, ThrowsIniFileErrorKeepingTheOldFile) {
    const TRefusalCase& c = GetParam();
    if (c.canBeMet != nullptr && !c.canBeMet()) {
        GTEST_SKIP() << "the superuser reads and writes files whatever their permission bits "
                        "say, and every user on Windows reads them";
    }
    TTemporaryFolder folder;
    const std::string old = "[Other]\r\nkeep=1\r\n";
    fs::create_directory(folder / "folder.ini");
    WriteTestFile(folder / "read-only.ini", old);
    fs::permissions(folder / "read-only.ini", fs::perms::owner_read);
    WriteTestFile(folder / "unreadable.ini", old);
    fs::permissions(folder / "unreadable.ini", fs::perms::owner_write);
    const auto entriesBefore = folder.EntryNames();

    const fs::path fileName = folder / c.fileName;
    TProfileFile profile(fileName);
    profile.WriteString("Setting", "CurrentDir", "/x");
    try {
        profile.UpdateFile();
        ADD_FAILURE() << "no failure writing " << fileName;
    } catch (const EIniFileError& error) {
        EXPECT_EQ(std::string(error.what()), IniErrorText(fileName));
    }
    EXPECT_EQ(folder.EntryNames(), entriesBefore);
    EXPECT_TRUE(fs::is_directory(folder / "folder.ini"));
    fs::permissions(folder / "read-only.ini", fs::perms::owner_all);
    fs::permissions(folder / "unreadable.ini", fs::perms::owner_all);
    EXPECT_EQ(ReadTestFile(folder / "read-only.ini"), old);
    EXPECT_EQ(ReadTestFile(folder / "unreadable.ini"), old);
}

const TRefusalCase RefusalCases[] = {
    {"FolderOfThatName", "folder.ini", nullptr},
    {"MissingFolder", "missing/Pelloran.ini", nullptr},
    {"ReadOnlyFile", "read-only.ini", ReadOnlyFilesBind},
    {"UnreadableFileWouldLoseItsSections", "unreadable.ini", PermissionBitsBind},
};
INSTANTIATE_TEST_SUITE_P(Files, ProfileFileRefusal, testing::ValuesIn(RefusalCases), TCaseName());

/// Section `index` of the large profile: a few keys, a comment, a blank line.
std::string LargeSection(int index) {
    const std::string number = std::to_string(index);
    return "[Section" + number + "]\r\nKey1=value " + number + "\r\nKey2=\x83\x5c" + number +
           "\r\n; comment\r\n\r\n";
}

// 10,000 sections around a line of 1 MB, NUL bytes and broken Shift-JIS: each call is one
// pass, so the whole test takes a fraction of a second; a rescan per line would take minutes.
TEST(ProfileFileLarge, EditsKeepEverythingElseInBoundedTime) {
    constexpr int SectionCount = 10000;
    const std::string longLine = "Long=" + std::string(1 << 20, 'x') + "\r\n";
    const std::string oddLines = "\0\x83\r\n\xff\xfe\x81\r"s;
    auto build = [&](const std::vector<std::string>& sections) {
        std::string bytes = oddLines;
        for (std::size_t index = 0; index < sections.size(); ++index) {
            bytes += sections[index] + (index == SectionCount / 2 ? longLine : "");
        }
        return bytes;
    };
    std::vector<std::string> sections;
    for (int index = 0; index < SectionCount; ++index) {
        sections.push_back(LargeSection(index));
    }
    const auto start = std::chrono::steady_clock::now();
    TProfileFile profile = TProfileFile::FromBytes(build(sections));

    EXPECT_EQ(profile.ReadString("section9999", "key2", ""), "\x83\x5c"
                                                             "9999");
    EXPECT_EQ(profile.ReadString("Section5000", "Long", "").size(), 2047u);
    profile.WriteString("Section9999", "Key3", "new");
    profile.WriteString("Section5000", "Key1", "changed");
    profile.EraseSection("Section2");
    profile.WriteString("Added", "k", "v");
    sections[9999] = "[Section9999]\r\nKey1=value 9999\r\nKey2=\x83\x5c"
                     "9999\r\nKey3=new\r\n"
                     "; comment\r\n\r\n";
    sections[5000] = "[Section5000]\r\nKey1=changed\r\nKey2=\x83\x5c"
                     "5000\r\n; comment\r\n\r\n";
    sections[2] = "; comment\r\n\r\n";
    sections.push_back("[Added]\r\nk=v\r\n");
    EXPECT_TRUE(profile.Bytes() == build(sections)) << "the edited text differs";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

} // namespace
