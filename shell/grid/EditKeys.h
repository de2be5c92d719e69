#pragma once

#include <QKeySequence>
#include <QList>

class QKeyEvent;

/// The grid's editing commands that keys reach, beside typing.
enum class TEditCommand { None, Undo, Redo, Cut, Copy, CopyWithTitles, Paste, Clear };

/// The keys of an editing command, the first as the menu shows it.
QList<QKeySequence> EditShortcuts(TEditCommand command);

/// The editing command whose key the event is, or None.
TEditCommand EditCommandOf(const QKeyEvent& event);

/// The window's file commands that have a key.
enum class TFileCommand { New, Open, Save };

QKeySequence FileShortcut(TFileCommand command);

/// Whether the event is the key of a file command: the window's, not typing.
bool IsFileCommandKey(const QKeyEvent& event);
