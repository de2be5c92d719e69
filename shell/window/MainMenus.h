#pragma once

#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class TAnalysisTexts;

/// The window's menus, commands and toolbar buttons, under the names the window gives them.
/// The toolbar has actions of its own, so that it never disables with the menu.
struct TMainMenus {
    QMenu* mmFile = nullptr;
    QAction* mmNew = nullptr;
    QAction* mmOpen = nullptr;
    QAction* mmSave = nullptr;
    QAction* mmSaveAs = nullptr;
    QAction* N1 = nullptr;
    QAction* mmExit = nullptr;
    QMenu* mmEdit = nullptr;
    QAction* mmPaste = nullptr;
    QAction* mmSortWithNumber = nullptr;
    QAction* mmSortwithpoint = nullptr;
    QAction* N3 = nullptr;
    QAction* mmAnalysis = nullptr;
    QAction* mmSlips = nullptr;
    QAction* mmClassList = nullptr;
    QAction* N4 = nullptr;
    QAction* mmUndo = nullptr;
    QAction* mmRedo = nullptr;
    QAction* mmCut = nullptr;
    QAction* mmCopy = nullptr;
    QAction* mmCopyWithTitles = nullptr;
    QAction* mmPasteCells = nullptr;
    QAction* mmClear = nullptr;
    QAction* mmMark = nullptr;
    QMenu* mmHelp = nullptr;
    QAction* mmShowHelp = nullptr;
    QAction* N2 = nullptr;
    QAction* mmAbout = nullptr;
    QToolBar* ToolBar = nullptr;
    QAction* ToolButton1 = nullptr;
    QAction* ToolButton2 = nullptr;
    QAction* ToolButton3 = nullptr;
    QAction* ToolButton4 = nullptr;
    QAction* ToolButton5 = nullptr;

    /// Fills the window's menu bar with the built-in Japanese captions, the file and edit commands
    /// with their shortcuts; the slips and the class list are captioned by `analysisTexts`.
    void BuildMenus(QMainWindow& window, const TAnalysisTexts& analysisTexts);
    /// Adds the window's toolbar with its five buttons, their images from `imageFolder`.
    void BuildToolBar(QMainWindow& window, const QString& imageFolder);

private:
    QAction* AddToolButton(const QString& imageFolder, const QString& imageName,
                           const QString& hint);
};
