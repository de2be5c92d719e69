#pragma once

#include <QString>

/// The file a file dialog's answer means. On Linux Qt's dialogs show and return a name that is
/// no UTF-8 with U+FFFD in place of its bytes, a name of no file; each part of the answer that
/// names nothing is taken as the one entry of its folder that Qt shows so, and stays as given
/// when there is no such entry or more than one.
QString DialogFileName(const QString& answer);
