#pragma once

#include <QKeySequence>
#include <QList>

class QKeyEvent;

/// The grid's editing commands that keys reach, beside typing.
enum class TEditCommand { None, Undo, Redo, Cut, Copy, Paste, Clear };

/// The keys of an editing command, the first as the menu shows it.
QList<QKeySequence> EditShortcuts(TEditCommand command);

/// The editing command whose key the event is, or None.
TEditCommand EditCommandOf(const QKeyEvent& event);
