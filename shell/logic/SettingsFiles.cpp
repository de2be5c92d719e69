#include "shell/logic/SettingsFiles.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"

#include <system_error>

namespace {

constexpr std::string_view SettingSection = "Setting";
constexpr std::string_view CurrentDirKey = "CurrentDir";

std::filesystem::path BesideExecutable(const std::filesystem::path& executable,
                                       std::string_view extension) {
    return PathFromText(ChangeFileExt(PathText(executable), extension));
}

/// Empty when there is no configuration folder.
std::filesystem::path InConfigurationFolder(const std::filesystem::path& executable,
                                            const TUserEnvironment& user,
                                            std::string_view extension) {
    const std::string folder = AppDataFolder(user);
    if (folder.empty()) {
        return {};
    }
    return PathFromText(folder) /
           PathFromText(ChangeFileExt(ExtractFileName(PathText(executable)), extension));
}

} // namespace

std::filesystem::path SettingsFilePath(const std::filesystem::path& executable,
                                       const TUserEnvironment& user, bool programFolderWritable) {
    const std::filesystem::path elsewhere = InConfigurationFolder(executable, user, ".ini");
    if (elsewhere.empty() || (programFolderWritable && !FileExists(elsewhere))) {
        return BesideExecutable(executable, ".ini");
    }
    return elsewhere;
}

std::filesystem::path LanguageFilePath(const std::filesystem::path& executable,
                                       const TUserEnvironment& user) {
    const std::filesystem::path beside = BesideExecutable(executable, ".lng");
    const std::filesystem::path elsewhere = InConfigurationFolder(executable, user, ".lng");
    return !elsewhere.empty() && FileExists(elsewhere) ? elsewhere : beside;
}

std::string ReadCurrentDir(const std::filesystem::path& settingsFile, std::string_view fallback) {
    return TProfileFile(settingsFile).ReadString(SettingSection, CurrentDirKey, fallback);
}

void WriteCurrentDir(const std::filesystem::path& settingsFile, const std::string& folder) {
    if (!TProfileFile::CanWriteValue(folder)) {
        return;
    }
    // The configuration folder may not exist yet; a failure shows when the file is written.
    std::error_code ignored;
    std::filesystem::create_directories(settingsFile.parent_path(), ignored);
    TProfileFile settings(settingsFile);
    settings.WriteString(SettingSection, CurrentDirKey, folder);
    settings.UpdateFile();
}
