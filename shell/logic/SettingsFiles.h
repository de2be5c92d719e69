#pragma once

#include "platform/UserFolders.h"

#include <filesystem>

/// The settings file, which holds the recent-files list too: the file named after the
/// executable with ".ini" in the user's configuration folder when it exists there or when the
/// executable's folder cannot be written (a program installed for every user), else the
/// executable's path with ".ini". The answer depends on nothing that a run of the program or
/// its file dialog changes before the file is written, so that every run finds what the
/// first one wrote.
std::filesystem::path SettingsFilePath(const std::filesystem::path& executable,
                                       const TUserEnvironment& user, bool programFolderWritable);

/// The language file: the file named after the executable with ".lng" in the user's
/// configuration folder when there is one, so that a user of a shared install can choose a
/// language, else the executable's path with ".lng".
std::filesystem::path LanguageFilePath(const std::filesystem::path& executable,
                                       const TUserEnvironment& user);
