#include "shell/grid/EditKeys.h"

#include <QKeyEvent>
#include <algorithm>
#include <array>

namespace {

constexpr std::array<TEditCommand, 7> EditCommands = {
    TEditCommand::Undo,           TEditCommand::Redo,  TEditCommand::Cut,   TEditCommand::Copy,
    TEditCommand::CopyWithTitles, TEditCommand::Paste, TEditCommand::Clear,
};

constexpr std::array<TFileCommand, 3> FileCommands = {TFileCommand::New, TFileCommand::Open,
                                                      TFileCommand::Save};

/// The keypad's modifier says where the key is, not what it means.
QKeySequence PressedKeys(const QKeyEvent& event) {
    return QKeySequence(
        QKeyCombination(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key())));
}

} // namespace

QList<QKeySequence> EditShortcuts(TEditCommand command) {
    switch (command) {
    case TEditCommand::Undo:
        return {QKeySequence(Qt::CTRL | Qt::Key_Z)};
    case TEditCommand::Redo:
        return {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    case TEditCommand::Cut:
        return {QKeySequence(Qt::CTRL | Qt::Key_X)};
    case TEditCommand::Copy:
        return {QKeySequence(Qt::CTRL | Qt::Key_C)};
    case TEditCommand::CopyWithTitles:
        return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)};
    case TEditCommand::Paste:
        return {QKeySequence(Qt::CTRL | Qt::Key_V)};
    case TEditCommand::Clear:
        return {QKeySequence(Qt::Key_Delete)};
    case TEditCommand::None:
        break;
    }
    return {};
}

TEditCommand EditCommandOf(const QKeyEvent& event) {
    const QKeySequence pressed = PressedKeys(event);
    for (const TEditCommand command : EditCommands) {
        if (EditShortcuts(command).contains(pressed)) {
            return command;
        }
    }
    return TEditCommand::None;
}

QKeySequence FileShortcut(TFileCommand command) {
    switch (command) {
    case TFileCommand::New:
        return QKeySequence(Qt::CTRL | Qt::Key_N);
    case TFileCommand::Open:
        return QKeySequence(Qt::CTRL | Qt::Key_O);
    case TFileCommand::Save:
        return QKeySequence(Qt::CTRL | Qt::Key_S);
    }
    return {};
}

bool IsFileCommandKey(const QKeyEvent& event) {
    const QKeySequence pressed = PressedKeys(event);
    return std::any_of(FileCommands.begin(), FileCommands.end(),
                       [&](TFileCommand command) { return FileShortcut(command) == pressed; });
}
