#include "shell/window/MainMenus.h"

#include "analysis/AnalysisTexts.h"
#include "shell/grid/EditKeys.h"
#include "shell/window/ShellText.h"
#include "shell/window/ToolBarStyle.h"

#include <QAction>
#include <QIcon>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <array>
#include <utility>

namespace {

constexpr int ToolBarHeight = 24;
constexpr int ToolButtonWidth = 23;

} // namespace

void TMainMenus::BuildMenus(QMainWindow& window, const TAnalysisTexts& analysisTexts) {
    QMenuBar* bar = window.menuBar();
    mmFile = bar->addMenu(QStringLiteral("ファイル(&F)"));
    mmNew = mmFile->addAction(QStringLiteral("新規作成(&N)"));
    mmOpen = mmFile->addAction(QStringLiteral("開く(&O)..."));
    mmSave = mmFile->addAction(QStringLiteral("上書き保存(&S)"));
    mmSaveAs = mmFile->addAction(QStringLiteral("名前をつけて保存(&A)..."));
    mmNew->setShortcut(FileShortcut(TFileCommand::New));
    mmOpen->setShortcut(FileShortcut(TFileCommand::Open));
    mmSave->setShortcut(FileShortcut(TFileCommand::Save));
    N1 = mmFile->addSeparator();
    mmExit = mmFile->addAction(QStringLiteral("終了(&X)"));

    mmEdit = bar->addMenu(QStringLiteral("編集(&E)"));
    mmPaste = mmEdit->addAction(QStringLiteral("学籍番号・氏名リストを貼り付け(&P)"));
    mmSortWithNumber = mmEdit->addAction(QStringLiteral("学籍番号順に並べ替え(&S)"));
    mmSortwithpoint = mmEdit->addAction(QStringLiteral("点数順に並べ替え(&P)"));
    N3 = mmEdit->addSeparator();
    mmAnalysis = mmEdit->addAction(QStringLiteral("分析(&R)..."));
    mmSlips = mmEdit->addAction(FromCodePage(analysisTexts[TAnalysisText::Slips]));
    mmClassList = mmEdit->addAction(FromCodePage(analysisTexts[TAnalysisText::ClassList]));
    N4 = mmEdit->addSeparator();
    mmUndo = mmEdit->addAction(QStringLiteral("元に戻す(&U)"));
    mmRedo = mmEdit->addAction(QStringLiteral("やり直し(&Y)"));
    mmCut = mmEdit->addAction(QStringLiteral("切り取り(&T)"));
    mmCopy = mmEdit->addAction(QStringLiteral("コピー(&C)"));
    mmCopyWithTitles = mmEdit->addAction(QStringLiteral("見出し付きでコピー(&H)"));
    mmPasteCells = mmEdit->addAction(QStringLiteral("貼り付け(&V)"));
    mmClear = mmEdit->addAction(QStringLiteral("消去(&L)"));
    const std::array<std::pair<QAction*, TEditCommand>, 7> editCommands = {{
        {mmUndo, TEditCommand::Undo},
        {mmRedo, TEditCommand::Redo},
        {mmCut, TEditCommand::Cut},
        {mmCopy, TEditCommand::Copy},
        {mmCopyWithTitles, TEditCommand::CopyWithTitles},
        {mmPasteCells, TEditCommand::Paste},
        {mmClear, TEditCommand::Clear},
    }};
    for (const auto& [action, command] : editCommands) {
        action->setShortcuts(EditShortcuts(command));
    }

    mmMark = bar->addAction(QStringLiteral("採点(&M)"));

    mmHelp = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    mmShowHelp = mmHelp->addAction(QStringLiteral("マニュアルを表示(&M)"));
    N2 = mmHelp->addSeparator();
    mmAbout = mmHelp->addAction(QStringLiteral("バージョン情報(&V)"));
}

QAction* TMainMenus::AddToolButton(const QString& imageFolder, const QString& imageName,
                                   const QString& hint) {
    QAction* action = ToolBar->addAction(QIcon(imageFolder + imageName), QString());
    action->setToolTip(hint);
    if (auto* button = qobject_cast<QToolButton*>(ToolBar->widgetForAction(action))) {
        button->setFixedSize(ToolButtonWidth, ToolBarHeight - 2);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    return action;
}

void TMainMenus::BuildToolBar(QMainWindow& window, const QString& imageFolder) {
    ToolBar = window.addToolBar(QString());
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setFixedHeight(ToolBarHeight);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setContentsMargins(0, 0, 0, 0);
    ToolBar->layout()->setSpacing(0);
    ToolBar->toggleViewAction()->setEnabled(false);
    PlaceButtonsFlush(*ToolBar);
    ToolButton1 = AddToolButton(imageFolder, QStringLiteral("New.png"), QStringLiteral("新規"));
    ToolButton2 = AddToolButton(imageFolder, QStringLiteral("Open.png"), QStringLiteral("開く"));
    ToolButton3 = AddToolButton(imageFolder, QStringLiteral("Save.png"), QStringLiteral("保存"));
    ToolButton4 =
        AddToolButton(imageFolder, QStringLiteral("Mark.png"), QStringLiteral("採点実行"));
    ToolButton5 = AddToolButton(imageFolder, QStringLiteral("SortByNumber.png"),
                                QStringLiteral("学籍番号順に並べ替え"));
}
