#pragma once

#include "platform/UserFolders.h"

#include <filesystem>

/// The settings file: the executable's path with ".ini", or, when the executable's folder
/// cannot be written (a program installed for every user), the file of that name in the
/// user's configuration folder, so that closing never fails for want of a writable folder.
std::filesystem::path SettingsFilePath(const std::filesystem::path& executable,
                                       const TUserEnvironment& user, bool programFolderWritable);

/// The language file: the file named after the executable with ".lng" in the user's
/// configuration folder when there is one, so that a user of a shared install can choose a
/// language, else the executable's path with ".lng".
std::filesystem::path LanguageFilePath(const std::filesystem::path& executable,
                                       const TUserEnvironment& user);
