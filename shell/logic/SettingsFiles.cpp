#include "shell/logic/SettingsFiles.h"

#include "platform/Files.h"
#include "platform/Paths.h"

namespace {

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
