#include "shell/logic/FileNameList.h"

#include "FileNameTestFolders.h"
#include "TestFiles.h"
#include "TestText.h"
#include "platform/Errors.h"
#include "platform/ProfileFile.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

/// A store holding the section with these key lines.
std::string StoreText(const std::vector<std::string>& keyLines) {
    std::string text = "[KeepFileNames]\r\n";
    for (const std::string& line : keyLines) {
        text += line + "\r\n";
    }
    return text;
}

std::vector<std::string> Listed(const TFileNameList& list) {
    return {list.FileNames().begin(),
            list.FileNames().begin() + static_cast<long>(list.EntryCount())};
}

std::string StoredValue(const fs::path& store, int slot) {
    return TProfileFile(store).ReadString("KeepFileNames", "FileName" + std::to_string(slot),
                                          "<missing>");
}

class FileNameListTest : public testing::Test {
protected:
    TFileNameTestFolders folders_;
};

TEST_F(FileNameListTest, TheTenthNameDropsTheOldest) {
    TFileNameList list = folders_.LoadedList();
    for (int number = 1; number <= 10; ++number) {
        list.AddFileName("/data/quiz" + std::to_string(number) + ".csv");
    }
    EXPECT_EQ(list.EntryCount(), 9U);
    EXPECT_EQ(list.FileNames().front(), "/data/quiz10.csv");
    EXPECT_EQ(list.FileNames().back(), "/data/quiz2.csv");
}

TEST_F(FileNameListTest, AListedNameMovesToTheTopWithoutANewEntry) {
    TFileNameList list = folders_.LoadedList();
    for (const char* name : {"/f", "/e", "/d", "/c", "/b", "/a"}) {
        list.AddFileName(name);
    }
    list.AddFileName("/e");
    EXPECT_EQ(Listed(list), (std::vector<std::string>{"/e", "/a", "/b", "/c", "/d", "/f"}));
    list.AddFileName("/e");
    list.AddFileName("");
    EXPECT_EQ(Listed(list), (std::vector<std::string>{"/e", "/a", "/b", "/c", "/d", "/f"}))
        << "the top name again and an empty name change nothing";
    list.AddFileName("/A");
    EXPECT_EQ(list.EntryCount(), 7U) << "names that differ in case are two files";
}

struct TStoredFormCase {
    std::string name;
    std::string fileName; // below the test's documents folder, "<docs>" replaced
    std::string storedForm;
    friend void PrintTo(const TStoredFormCase& value, std::ostream* out) { *out << value.name; }
};

class StoredFormTest : public testing::TestWithParam<TStoredFormCase> {};

std::string WithDocuments(std::string text, const std::string& documents) {
    if (const auto at = text.find("<docs>"); at != std::string::npos) {
        text.replace(at, 6, documents);
    }
    return text;
}

TEST_P(StoredFormTest, AbbreviatesOnlyALeadingDocumentsFolderAndExpandsBack) {
    TFileNameTestFolders folders;
    const TFileNameList list = folders.LoadedList();
    const std::string documents = list.PersonalFolder();
    ASSERT_EQ(documents, PathText(folders.Documents()));
    const std::string fileName = WithDocuments(Native(GetParam().fileName), documents);
    const std::string storedForm = list.StoredForm(fileName);
    EXPECT_EQ(storedForm, WithDocuments(Native(GetParam().storedForm), documents));
    EXPECT_EQ(list.Expanded(storedForm), fileName) << "the same file comes back";
}

INSTANTIATE_TEST_SUITE_P(
    Names, StoredFormTest,
    testing::Values(
        TStoredFormCase{"InTheDocumentsFolder", "<docs>/tests/quiz.csv", "../tests/quiz.csv"},
        TStoredFormCase{"ParentFolderStep", "/srv/class/../quiz.csv", "/srv/class/../quiz.csv"},
        TStoredFormCase{"DotsInAName", "/srv/a..b/quiz.csv", "/srv/a..b/quiz.csv"},
        TStoredFormCase{"DocumentsFolderInTheMiddle", "/backup<docs>/quiz.csv",
                        "/backup<docs>/quiz.csv"},
        TStoredFormCase{"LongerFolderName", "<docs>2/quiz.csv", "<docs>2/quiz.csv"},
        TStoredFormCase{"TheDocumentsFolderItself", "<docs>", "<docs>"},
        TStoredFormCase{"OwnParentStepInTheDocumentsFolder", "<docs>/../quiz.csv",
                        "../../quiz.csv"}),
    TCaseName());

TEST_F(FileNameListTest, LoadKeepsTheStoredOrderOfExistingFilesOnly) {
    folders_.CreateFile("home/Documents/tests/first.csv");
    const std::string second = folders_.CreateFile("srv/second.csv");
    const std::string third = folders_.CreateFile("srv/class/third.csv");
    const std::string root = PathText(folders_.Root());
    const std::string first = Native("../tests/first.csv");
    fs::create_directories(PathFromText(root + Native("/srv/folder.csv")));
    WriteTestFile(folders_.Store(),
                  StoreText({"FileName1=" + first, "FileName2=" + Native("/srv/vanished.csv"),
                             "FileName3=", "FileName4=" + root + Native("/srv/folder.csv"),
                             "FileName5=" + second,
                             "FileName6=" + root + Native("/srv/class/../class/third.csv"),
                             "FileName7=" + first, "FileName10=" + third, "Other=" + third}));
    TFileNameList list = folders_.LoadedList();
    EXPECT_EQ(Listed(list), (std::vector<std::string>{
                                first, second, root + Native("/srv/class/../class/third.csv")}))
        << "vanished files, folders, empty and repeated values, keys 10 and over drop out";

    list.SaveFileNames();
    const std::string saved = ReadTestFile(folders_.Store());
    EXPECT_EQ(StoredValue(folders_.Store(), 1), first);
    EXPECT_EQ(StoredValue(folders_.Store(), 2), second);
    EXPECT_EQ(StoredValue(folders_.Store(), 4), "");
    EXPECT_EQ(StoredValue(folders_.Store(), 9), "");
    EXPECT_EQ(saved.find("FileName10"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Other"), std::string::npos) << saved;
}

// A Windows program that took the names for ANSI code page text lost every Japanese one.
TEST_F(FileNameListTest, LoadKeepsNamesBeyondAscii) {
    const std::string full = folders_.CreateFile("srv/試験 & 追試.csv");
    folders_.CreateFile("home/Documents/答案.csv");
    const std::string abbreviated = Native("../答案.csv");
    WriteTestFile(folders_.Store(), StoreText({"FileName1=" + full, "FileName2=" + abbreviated}));
    EXPECT_EQ(Listed(folders_.LoadedList()), (std::vector<std::string>{full, abbreviated}));
}

TEST_F(FileNameListTest, LoadFindsANameAbbreviatedInItsMiddleByTheEarlierRule) {
#ifdef _WIN32
    GTEST_SKIP() << "a documents folder on a drive can stand only at the start of a Windows path";
#endif
    const std::string backup =
        folders_.CreateFile("backup" + folders_.Documents().string() + "/quiz.csv");
    WriteTestFile(folders_.Store(),
                  StoreText({"FileName1=" + folders_.Root().string() + "/backup../quiz.csv"}));
    TFileNameList list = folders_.LoadedList();
    EXPECT_EQ(Listed(list), std::vector<std::string>{backup});
    list.SaveFileNames();
    EXPECT_EQ(StoredValue(folders_.Store(), 1), backup) << "stored again under the new rule";
}

TEST_F(FileNameListTest, WithoutADocumentsFolderAbbreviatedNamesAreNotResolvedElsewhere) {
    fs::remove(folders_.Documents());
    folders_.CreateFile("srv/tests/quiz.csv");
    fs::current_path(folders_.Root() / "srv/tests");
    WriteTestFile(folders_.Store(), StoreText({"FileName1=" + Native("../tests/quiz.csv")}));
#ifdef _WIN32
    // Windows names its documents folder whether it exists or not; an unknown one is empty.
    TFileNameList list({"", PathText(folders_.Root() / "config")}, folders_.Executable());
    list.LoadFileNames();
#else
    const TFileNameList list = folders_.LoadedList();
#endif
    fs::current_path(fs::temp_directory_path());
    EXPECT_EQ(list.PersonalFolder(), "");
    EXPECT_EQ(list.EntryCount(), 0U);
}

struct TUnstorableCase {
    std::string name;
    std::string fileName;
    friend void PrintTo(const TUnstorableCase& value, std::ostream* out) { *out << value.name; }
};

class UnstorableNameTest : public testing::TestWithParam<TUnstorableCase> {};

TEST_P(UnstorableNameTest, StaysListedForTheRunButIsNotStored) {
    TFileNameTestFolders folders;
    const std::string kept = folders.CreateFile("srv/kept.csv");
    TFileNameList list = folders.LoadedList();
    list.AddFileName(kept);
    list.AddFileName(GetParam().fileName);
    list.AddFileName("/srv/newest.csv");
    EXPECT_EQ(list.FileNames()[1], GetParam().fileName);
    list.SaveFileNames();
    const std::string saved = ReadTestFile(folders.Store());
    EXPECT_EQ(StoredValue(folders.Store(), 1), "/srv/newest.csv");
    EXPECT_EQ(StoredValue(folders.Store(), 2), kept) << "the names after it move up";
    EXPECT_EQ(saved.find("Injected"), std::string::npos) << Escaped(saved);
    EXPECT_EQ(Listed(folders.LoadedList()), std::vector<std::string>{kept});
}

INSTANTIATE_TEST_SUITE_P(
    Names, UnstorableNameTest,
    testing::Values(TUnstorableCase{"LineFeed", "/srv/a\n[Injected]\nFileName1=/etc/passwd"},
                    TUnstorableCase{"CarriageReturn", "/srv/a\rInjected=1"},
                    TUnstorableCase{"LongerThanAValueIsRead", "/srv/" + std::string(2100, 'x')}),
    TCaseName());

TEST_F(FileNameListTest, NamesWithBlanksOrQuotesAtTheirEndsAreStoredWhole) {
    const std::vector<std::string> names{"/srv/quiz.csv ", "/srv/quiz.csv\t\v", " quiz.csv",
                                         "'quiz'",         "\"quiz\"",          "/srv/\"quiz\""};
    TFileNameList list = folders_.LoadedList();
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        list.AddFileName(*name);
    }
    list.SaveFileNames();
    for (std::size_t index = 0; index < names.size(); ++index) {
        EXPECT_EQ(StoredValue(folders_.Store(), static_cast<int>(index + 1)), names[index])
            << Escaped(ReadTestFile(folders_.Store()));
    }
}

TEST_F(FileNameListTest, TheStoreBesideTheExecutableKeepsItsSettings) {
    fs::remove_all(folders_.Root() / "config");
    const fs::path settings = folders_.Root() / "bin/pelloran.ini";
    const std::string settingsText = "[Setting]\r\nCurrentDir=/srv/class\r\n";
    WriteTestFile(settings, settingsText + "[KeepFileNames]\r\nFileName1=/gone.csv\r\n");
    TFileNameList list = folders_.LoadedList();
    EXPECT_EQ(list.IniFileName(), settings);
    list.AddFileName("/srv/quiz.csv");
    list.SaveFileNames();
    list.SaveFileNames();
    const std::string saved = ReadTestFile(settings);
    EXPECT_EQ(saved.substr(0, settingsText.size()), settingsText) << Escaped(saved);
    EXPECT_EQ(StoredValue(settings, 1), "/srv/quiz.csv");
    EXPECT_EQ(StoredValue(settings, 9), "");
}

TEST_F(FileNameListTest, TheStoreInTheConfigurationFolderIsNamedAfterTheExecutable) {
    const TFileNameList list = folders_.LoadedList("bin/pelloran.bin");
    EXPECT_EQ(list.IniFileName(), folders_.Root() / "config/pelloran.ini");
}

TEST_F(FileNameListTest, AListNeverLoadedLeavesTheStoreAlone) {
    WriteTestFile(folders_.Store(), StoreText({"FileName1=/srv/quiz.csv"}));
    TFileNameList list(folders_.Environment(), folders_.Executable());
    list.SaveFileNames();
    EXPECT_EQ(StoredValue(folders_.Store(), 1), "/srv/quiz.csv");
}

TEST_F(FileNameListTest, AStoreThatCannotBeWrittenKeepsItsOldContent) {
    const std::string old = "[Setting]\r\nCurrentDir=/srv\r\n[KeepFileNames]\r\nFileName1=/a\r\n";
    WriteTestFile(folders_.Store(), old);
    TFileNameList list = folders_.LoadedList();
    list.AddFileName("/srv/" + std::string(200, 'x'));
    {
#ifdef _WIN32
        // Windows limits no file's size; its read-only attribute binds every user.
        fs::permissions(folders_.Store(), fs::perms::owner_read);
        EXPECT_THROW(list.SaveFileNames(), EIniFileError);
        fs::permissions(folders_.Store(), fs::perms::owner_all);
#else
        const TFileSizeLimit limit(old.size());
        EXPECT_THROW(list.SaveFileNames(), EIniFileError);
#endif
    }
    EXPECT_EQ(ReadTestFile(folders_.Store()), old);
    EXPECT_EQ(TTemporaryFolder::EntryNamesOf(folders_.Root() / "config"),
              std::vector<std::string>{"pelloran.ini"})
        << "no temporary file is left behind";
}

TEST_F(FileNameListTest, ABrokenStoreLoadsAndASaveKeepsEveryOtherByte) {
    const std::string kept = folders_.CreateFile("srv/kept.csv");
    std::string before = "\x00\x81[binary]\r\nk=\x82\r\n"s;
    for (int section = 0; section < 10000; ++section) {
        before += "[S" + std::to_string(section) + "]\r\nkey=\xE0\r\n";
    }
    before += "[Long]\r\nline=" + std::string(1 << 20, '\x81') + "\r\n";
    const std::string after = "[Tail]\r\nx=\x00y\r\n"s;
    WriteTestFile(folders_.Store(),
                  before + "[KeepFileNames]\r\nFileName1=" + kept + "\r\n" + after);
    TFileNameList list = folders_.LoadedList();
    EXPECT_EQ(Listed(list), std::vector<std::string>{kept});
    list.SaveFileNames();
    const std::string saved = ReadTestFile(folders_.Store());
    EXPECT_EQ(saved.substr(0, before.size()), before);
    EXPECT_NE(saved.find(after), std::string::npos);
}

TEST_F(FileNameListTest, AHugeStoreIsNeitherReadNorRewritten) {
    const std::string line = "FileName1=" + folders_.CreateFile("srv/quiz.csv") + "\n";
    std::string store = "[KeepFileNames]\n";
    while (store.size() < 100'000'000) {
        store += line;
    }
    WriteTestFile(folders_.Store(), store);
    const auto start = std::chrono::steady_clock::now();
    TFileNameList list = folders_.LoadedList();
    EXPECT_EQ(list.EntryCount(), 0U);
    list.AddFileName("/srv/other.csv");
    EXPECT_THROW(list.SaveFileNames(), EIniFileError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(ReadTestFile(folders_.Store()) == store);
}

} // namespace
