#pragma once

#include "platform/UserFolders.h"

#include <QString>

/// Where a save dialog starts and the full name it proposes (empty for none).
struct TSavePlace {
    QString folder;
    QString proposedName;
};

/// `folder` and `proposedName`, unless the file would go into a folder the user cannot write
/// (the program's own folder, when it is installed for every user): then the user's documents
/// folder, with the proposed file's name alone. Where there is no documents folder, the place
/// stays as it was.
TSavePlace WritableSavePlace(const QString& folder, const QString& proposedName,
                             const TUserEnvironment& user);
