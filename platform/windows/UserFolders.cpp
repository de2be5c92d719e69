#include "platform/UserFolders.h"

#include "platform/Paths.h"
#include "platform/windows/WindowsText.h"

#include <windows.h>

#include <shlobj.h>

namespace {

std::string KnownFolder(const KNOWNFOLDERID& folder) {
    PWSTR path = nullptr;
    std::string text;
    if (SUCCEEDED(::SHGetKnownFolderPath(folder, KF_FLAG_DEFAULT, nullptr, &path))) {
        text = Utf8FromWide(path);
    }
    ::CoTaskMemFree(path);
    return text;
}

/// A drive root keeps its '\'.
std::string WithoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && folder.back() == PathDelimiter &&
           folder[folder.size() - 2] != ':') {
        folder.pop_back();
    }
    return folder;
}

} // namespace

TUserEnvironment TUserEnvironment::FromProcess() {
    return {KnownFolder(FOLDERID_Documents), KnownFolder(FOLDERID_RoamingAppData)};
}

std::string PersonalFolder(const TUserEnvironment& environment) {
    return WithoutTrailingSeparator(environment.documents);
}

std::string AppDataFolder(const TUserEnvironment& environment) {
    return WithoutTrailingSeparator(environment.appData);
}
