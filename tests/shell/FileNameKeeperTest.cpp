#include "shell/recent/FileNameKeeper.h"

#include "TestFiles.h"
#include "platform/ProfileFile.h"
#include "shell/logic/FileNameTestFolders.h"

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

QStringList Captions(const QMenu& menu) {
    QStringList captions;
    for (const QAction* action : menu.actions()) {
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

/// The name as the list shows and hands it over: a name is written once for every system
/// with '/', and the list holds it with the system's separators.
QString Shown(const std::string& name) {
    return QString::fromStdString(Native(name));
}

class FileNameKeeperTest : public testing::Test {
protected:
    FileNameKeeperTest() {
        menu_.addAction(QStringLiteral("新規作成(&N)"));
        menu_.addAction(QStringLiteral("終了(&X)"));
    }

    std::unique_ptr<TFileNameKeep> MakeKeep() {
        return std::make_unique<TFileNameKeep>(nullptr, folders_.Environment(),
                                               folders_.Executable());
    }

    TFileNameTestFolders folders_;
    QMenu menu_;
};

TEST_F(FileNameKeeperTest, EntriesFollowTheMenusLastItem) {
    const std::string quiz = folders_.CreateFile("home/Documents/tests/quiz.csv");
    const std::string other = folders_.CreateFile("srv/試験 & 追試.csv");
    WriteTestFile(folders_.Store(), "[KeepFileNames]\r\nFileName1=" + Native("../tests/quiz.csv") +
                                        "\r\nFileName2=" + other + "\r\n");
    const auto keep = MakeKeep();
    keep->SetParentMenu(&menu_);
    EXPECT_EQ(Captions(menu_),
              (QStringList{QStringLiteral("新規作成(&N)"), QStringLiteral("終了(&X)"),
                           QStringLiteral("-"), QStringLiteral("&1  ") + Shown("../tests/quiz.csv"),
                           QStringLiteral("&2  ") + Shown(other)}));
    keep->AddFileName(Shown(other));
    EXPECT_EQ(menu_.actions().size(), 5) << "a listed name makes no entry";
    ASSERT_EQ(keep->MenuItems().size(), 2U);
    EXPECT_EQ(keep->MenuItems()[0]->text(), QStringLiteral("&1  ") + Shown(other));
    EXPECT_EQ(keep->MenuItems()[1]->text(), QStringLiteral("&2  ") + Shown("../tests/quiz.csv"));
}

TEST_F(FileNameKeeperTest, TheFirstNameBringsTheSeparatorAndEntryOne) {
    const auto keep = MakeKeep();
    keep->AddFileName(QStringLiteral("/srv/early.csv"));
    keep->SetParentMenu(&menu_);
    EXPECT_EQ(menu_.actions().size(), 2) << "an empty store makes no entry";
    EXPECT_EQ(keep->List().EntryCount(), 0U) << "a name added before the menu is dropped";
    keep->AddFileName(QString());
    EXPECT_EQ(keep->Separator(), nullptr);
    keep->AddFileName(QStringLiteral("/srv/quiz.csv"));
    EXPECT_EQ(Captions(menu_).mid(2),
              (QStringList{QStringLiteral("-"), QStringLiteral("&1  ") + Shown("/srv/quiz.csv")}));
}

TEST_F(FileNameKeeperTest, AChosenEntryHandsOverItsWholeFullName) {
    const std::string longName =
        PathText(folders_.Documents()) + "/" + std::string(300, 'a') + ".csv";
    const std::string ownParentStep = "/srv/class/../テスト.csv";
    QStringList chosen;
    const auto keep = MakeKeep();
    keep->SetOnSelect([&chosen](const QString& fileName) { chosen.append(fileName); });
    keep->SetParentMenu(&menu_);
    keep->AddFileName(QString::fromStdString(longName));
    keep->AddFileName(QString::fromStdString(ownParentStep));
    ASSERT_EQ(keep->MenuItems().size(), 2U);
    keep->MenuItems()[1]->trigger();
    keep->MenuItems()[0]->trigger();
    EXPECT_EQ(chosen, (QStringList{Shown(longName), Shown(ownParentStep)}));
    EXPECT_EQ(keep->MenuItems()[1]->text(),
              QStringLiteral("&2  ") + Shown("../" + std::string(300, 'a') + ".csv"));
}

TEST_F(FileNameKeeperTest, AnotherMenuTakesTheEntriesAlong) {
    QMenu other;
    const auto keep = MakeKeep();
    keep->SetParentMenu(&menu_);
    keep->AddFileName(QStringLiteral("/srv/quiz.csv"));
    keep->SetParentMenu(&other);
    EXPECT_EQ(menu_.actions().size(), 2);
    EXPECT_EQ(Captions(other),
              (QStringList{QStringLiteral("-"), QStringLiteral("&1  ") + Shown("/srv/quiz.csv")}));
}

TEST_F(FileNameKeeperTest, DestroyingTheComponentSavesTheList) {
    auto keep = MakeKeep();
    keep->SetParentMenu(&menu_);
    keep->AddFileName(QStringLiteral("/srv/quiz.csv"));
    keep.reset();
    EXPECT_EQ(TProfileFile(folders_.Store()).ReadString("KeepFileNames", "FileName1", ""),
              Native("/srv/quiz.csv"));
}

TEST_F(FileNameKeeperTest, AStoreThatCannotBeWrittenAtTheEndIsLeftAsItWas) {
    const std::string old = "[KeepFileNames]\r\nFileName1=/a\r\n";
    WriteTestFile(folders_.Store(), old);
    auto keep = MakeKeep();
    keep->SetParentMenu(&menu_);
    keep->AddFileName(QStringLiteral("/srv/quiz.csv"));
#ifdef _WIN32
    // No size limit on Windows: a read-only store is refused as well.
    std::filesystem::permissions(folders_.Store(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_NO_THROW(keep.reset());
    std::filesystem::permissions(folders_.Store(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
#else
    {
        const TFileSizeLimit limit(old.size());
        EXPECT_NO_THROW(keep.reset());
    }
#endif
    EXPECT_EQ(ReadTestFile(folders_.Store()), old);
}

} // namespace
