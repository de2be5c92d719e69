#include "shell/recent/FileNameKeeper.h"

#include "platform/Errors.h"
#include "shell/window/ShellText.h"

#include <QAction>
#include <QMenu>
#include <utility>

namespace {

QString DecodedName(const std::string& name) {
    return FromPathText(name);
}

} // namespace

TFileNameKeep::TFileNameKeep(QObject* owner, TUserEnvironment environment,
                             std::filesystem::path executablePath)
    : QObject(owner), list_(std::move(environment), std::move(executablePath)) {}

TFileNameKeep::~TFileNameKeep() {
    if (saved_) {
        return;
    }
    try {
        list_.SaveFileNames();
    } catch (const EPelloranError&) {
        // The store keeps the previous run's list, and there is no window left to tell.
    }
}

void TFileNameKeep::SaveFileNames() {
    list_.SaveFileNames();
    saved_ = true;
}

void TFileNameKeep::SetParentMenu(QMenu* menu) {
    if (menu != parentMenu_ && separator_ != nullptr) {
        QList<QAction*> entries{separator_};
        entries.append(QList<QAction*>(menuItems_.begin(), menuItems_.end()));
        if (parentMenu_ != nullptr) {
            for (QAction* entry : entries) {
                parentMenu_->removeAction(entry);
            }
        }
        if (menu != nullptr) {
            menu->addActions(entries);
        }
    }
    parentMenu_ = menu;
    if (menu != nullptr) {
        saved_ = false;
        list_.LoadFileNames();
        CreateMissingMenuItems();
        UpdateCaptions();
    }
}

void TFileNameKeep::SetOnSelect(TFileNameSelectEvent onSelect) {
    onSelect_ = std::move(onSelect);
}

void TFileNameKeep::AddFileName(const QString& fileName) {
    if (parentMenu_ == nullptr) {
        return;
    }
    saved_ = false;
    list_.AddFileName(ToPathText(fileName));
    CreateMissingMenuItems();
    UpdateCaptions();
}

void TFileNameKeep::CreateMissingMenuItems() {
    while (menuItems_.size() < list_.EntryCount()) {
        if (separator_ == nullptr) {
            separator_ = new QAction(this);
            separator_->setSeparator(true);
            parentMenu_->addAction(separator_);
        }
        auto* item = new QAction(this);
        const std::size_t index = menuItems_.size();
        connect(item, &QAction::triggered, this, [this, index] { MenuItemClick(index); });
        menuItems_.push_back(item);
        parentMenu_->addAction(item);
    }
}

void TFileNameKeep::UpdateCaptions() {
    for (std::size_t index = 0; index < menuItems_.size(); ++index) {
        menuItems_[index]->setText(DecodedName(list_.Caption(index)));
    }
}

void TFileNameKeep::MenuItemClick(std::size_t index) {
    if (onSelect_) {
        onSelect_(DecodedName(list_.ExpandedName(index)));
    }
}
