#include "shell/grid/EditKeys.h"

#include <QKeyEvent>
#include <array>

namespace {

constexpr std::array<TEditCommand, 6> EditCommands = {
    TEditCommand::Undo, TEditCommand::Redo,  TEditCommand::Cut,
    TEditCommand::Copy, TEditCommand::Paste, TEditCommand::Clear,
};

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
    // The keypad's modifier says where the key is, not what it means.
    const QKeySequence pressed(
        QKeyCombination(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key())));
    for (const TEditCommand command : EditCommands) {
        if (EditShortcuts(command).contains(pressed)) {
            return command;
        }
    }
    return TEditCommand::None;
}
