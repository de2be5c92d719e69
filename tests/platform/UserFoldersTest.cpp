#include "platform/UserFolders.h"

#include "TestFiles.h"
#include "TestText.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

/// `text` with each "~" replaced by `home`.
std::string WithHome(std::string_view text, const std::string& home) {
    std::string result;
    for (const char byte : text) {
        result += byte == '~' ? home : std::string(1, byte);
    }
    return result;
}

struct TDocumentsCase {
    const char* name;
    std::optional<std::string> userDirs; // none: no user-dirs.dirs
    bool documentsExists;
    std::string expected; // "~" stands for the fake home
    friend void PrintTo(const TDocumentsCase& c, std::ostream* os) { *os << c.name; }
};

class DocumentsFolder : public testing::TestWithParam<TDocumentsCase> {};

TEST_P(DocumentsFolder, ComesFromUserDirsOrTheDocumentsFolder) {
    const TDocumentsCase& c = GetParam();
    TTemporaryFolder home;
    fs::create_directory(home / ".config");
    if (c.userDirs) {
        WriteTestFile(home / ".config/user-dirs.dirs", *c.userDirs);
    }
    if (c.documentsExists) {
        fs::create_directory(home / "Documents");
    }
    const std::string homePath = home.Path().string();
    EXPECT_EQ(PersonalFolder({homePath, ""}), WithHome(c.expected, homePath))
        << "user-dirs.dirs " << (c.userDirs ? Escaped(*c.userDirs) : "absent");
}

const TDocumentsCase DocumentsCases[] = {
    {"NoFileNoDocuments", std::nullopt, false, ""},
    {"NoFileDocumentsFallback", std::nullopt, true, "~/Documents"},
    {"HomeExpanded", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n", true, "~/Docs"},
    {"HomeItself", "XDG_DOCUMENTS_DIR=\"$HOME\"\n", false, "~"},
    {"AbsoluteWithoutTrailingSlash", "XDG_DOCUMENTS_DIR=\"/srv/docs//\"\n", false, "/srv/docs"},
    {"AmongOtherFolders",
     "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\r\n"
     "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\r\nXDG_MUSIC_DIR=\"$HOME/Music\"\r\n",
     true, "~/Dokumente"},
    {"LastEntryWins", "XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"/b\"\n", false, "/b"},
    {"BlanksAroundTolerated", " \tXDG_DOCUMENTS_DIR = \"/a\"  # note\n", false, "/a"},
    {"EscapesResolved", "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\" \\$x\\\\\"\n", false,
     "~/My \"Docs\" $x\\"},
    {"CommentedOut", "#XDG_DOCUMENTS_DIR=\"/a\"\n", true, "~/Documents"},
    {"RelativeIgnored", "XDG_DOCUMENTS_DIR=\"Docs\"\n", true, "~/Documents"},
    {"RelativeAfterAbsoluteIgnored", "XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"b\"\n", false,
     "/a"},
    {"EmptyIgnored", "XDG_DOCUMENTS_DIR=\"\"\n", false, ""},
    {"EscapedHomeIsNoVariable", "XDG_DOCUMENTS_DIR=\"\\$HOME/Docs\"\n", false, ""},
    {"LongerVariableIsNotHome", "XDG_DOCUMENTS_DIR=\"$HOMEDIR/Docs\"\n", false, ""},
    {"UnquotedIgnored", "XDG_DOCUMENTS_DIR=/a\n", false, ""},
    {"UnclosedQuoteIgnored", "XDG_DOCUMENTS_DIR=\"/a\n", false, ""},
    {"OtherNameIgnored", "XDG_DOCUMENTS_DIRS=\"/a\"\nMY_XDG_DOCUMENTS_DIR=\"/b\"\n", false, ""},
};
INSTANTIATE_TEST_SUITE_P(UserDirs, DocumentsFolder, testing::ValuesIn(DocumentsCases), TCaseName());

TEST(DocumentsFolder, UserDirsFromAnAbsoluteConfigHomeOnly) {
    TTemporaryFolder home;
    TTemporaryFolder config;
    fs::create_directory(home / ".config");
    WriteTestFile(home / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/from-home\"\n");
    WriteTestFile(config / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/from-config\"\n");
    const std::string homePath = home.Path().string();
    EXPECT_EQ(PersonalFolder({homePath, config.Path().string()}), "/from-config");
    EXPECT_EQ(PersonalFolder({homePath, "relative/config"}), "/from-home");
}

TEST(DocumentsFolder, NothingUsableGivesEmpty) {
    TTemporaryFolder home;
    fs::create_directories(home / ".config/user-dirs.dirs");
    fs::create_directory(home / "Documents");
    // A folder in place of the file is no file; the Documents fallback still applies.
    EXPECT_EQ(PersonalFolder({home.Path().string(), ""}), (home / "Documents").string());
    fs::remove(home / ".config/user-dirs.dirs");
    WriteTestFile(home / ".config/user-dirs.dirs",
                  std::string(100000, '#') + "\nXDG_DOCUMENTS_DIR=\"/a\"\n");
    EXPECT_EQ(PersonalFolder({home.Path().string(), ""}), (home / "Documents").string())
        << "a file far larger than a user-dirs.dirs is not read";
    // Without a home, nothing is looked up relative to the current directory.
    EXPECT_EQ(PersonalFolder({"", ""}), "");
    EXPECT_EQ(PersonalFolder({"relative", ""}), "");
}

struct TConfigCase {
    const char* name;
    std::string home;
    std::string xdgConfigHome;
    std::string expected;
    friend void PrintTo(const TConfigCase& value, std::ostream* out) { *out << value.name; }
};

class ConfigFolder : public testing::TestWithParam<TConfigCase> {};

TEST_P(ConfigFolder, IsAbsoluteConfigHomeElseDotConfig) {
    const TConfigCase& c = GetParam();
    EXPECT_EQ(AppDataFolder({c.home, c.xdgConfigHome}), c.expected)
        << "home " << Escaped(c.home) << ", XDG_CONFIG_HOME " << Escaped(c.xdgConfigHome);
}

const TConfigCase ConfigCases[] = {
    {"HomeDotConfig", "/home/a", "", "/home/a/.config"},
    {"HomeWithTrailingSlash", "/home/a/", "", "/home/a/.config"},
    {"RootHome", "/", "", "/.config"},
    {"ConfigHome", "/home/a", "/cfg/", "/cfg"},
    {"ConfigHomeWithoutHome", "", "/cfg", "/cfg"},
    {"RelativeConfigHomeIgnored", "/home/a", "cfg", "/home/a/.config"},
    {"NoHome", "", "", ""},
    {"RelativeHomeAndConfigHome", "home", "cfg", ""},
};
INSTANTIATE_TEST_SUITE_P(Environment, ConfigFolder, testing::ValuesIn(ConfigCases), TCaseName());

} // namespace
