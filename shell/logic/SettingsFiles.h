#pragma once

#include "platform/UserFolders.h"

#include <filesystem>
#include <string>
#include <string_view>

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

/// The folder the file dialogs start in, as the settings file keeps it, or `fallback` when it
/// keeps none.
std::string ReadCurrentDir(const std::filesystem::path& settingsFile, std::string_view fallback);

/// Keeps the folder in the settings file, making the file's folder when it is missing; the
/// file's other keys stay. A folder whose name would break the file's lines leaves the old
/// value. Throws EIniFileError, the file keeping its old bytes, when it cannot be written.
void WriteCurrentDir(const std::filesystem::path& settingsFile, const std::string& folder);
