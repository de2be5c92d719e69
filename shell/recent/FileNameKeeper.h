#pragma once

#include "platform/UserFolders.h"
#include "shell/logic/FileNameList.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>
#include <vector>

class QAction;

/// The recent-files list of the File menu: a separator and one numbered entry per remembered
/// file, appended after the menu's last item. The list is loaded when the menu is assigned
/// and saved when the component is destroyed with its owner.
class TFileNameKeep : public QObject {
    Q_OBJECT

public:
    /// Called with the chosen file's full name.
    using TFileNameSelectEvent = std::function<void(const QString& fileName)>;

    TFileNameKeep(QObject* owner, TUserEnvironment environment,
                  std::filesystem::path executablePath);
    /// Saves the list unless it was saved since it last changed; a store that cannot be written
    /// keeps its old content, silently.
    ~TFileNameKeep() override;

    /// Stores the menu and loads the list; every assignment loads.
    void SetParentMenu(QMenu* menu);
    void SetOnSelect(TFileNameSelectEvent onSelect);
    /// Puts the file at the top of the list. Changes nothing before a menu is assigned.
    void AddFileName(const QString& fileName);
    /// Writes the store now; throws EIniFileError, the store keeping its old content, when it
    /// cannot be written.
    void SaveFileNames();

    const TFileNameList& List() const { return list_; }
    /// The entries, entry 1 first.
    const std::vector<QAction*>& MenuItems() const { return menuItems_; }
    /// The separator before entry 1, or null before entry 1 exists.
    QAction* Separator() const { return separator_; }

private:
    void CreateMissingMenuItems();
    void UpdateCaptions();
    void MenuItemClick(std::size_t index);

    TFileNameList list_;
    QPointer<QMenu> parentMenu_;
    TFileNameSelectEvent onSelect_;
    QAction* separator_ = nullptr;
    std::vector<QAction*> menuItems_;
    bool saved_ = false;
};
