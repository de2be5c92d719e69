#include "platform/UserFolders.h"

#include "platform/Errors.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

/// user-dirs.dirs holds a dozen short lines; anything far larger is no such file.
constexpr std::uintmax_t MaxUserDirsSize = 64 * 1024;

bool IsAbsolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

/// The root keeps its '/'.
std::string WithoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path.append(name);
}

/// A relative home would make every folder depend on the current directory.
std::string AbsoluteHome(const TUserEnvironment& environment) {
    return IsAbsolute(environment.home) ? WithoutTrailingSlashes(environment.home) : std::string();
}

std::string ReadUserDirsFile(const std::string& fileName) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    if (error || size > MaxUserDirsSize) {
        return {};
    }
    try {
        return ReadFileBytes(fileName);
    } catch (const EFileOpenError&) {
        return {};
    }
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

/// The text of a double-quoted value up to its closing quote, with backslash escapes
/// resolved; nothing when the quote is never closed.
std::optional<std::string> UnquotedValue(std::string_view quoted) {
    std::string value;
    for (std::size_t at = 0; at < quoted.size(); ++at) {
        if (quoted[at] == '"') {
            return value;
        }
        if (quoted[at] == '\\' && at + 1 < quoted.size()) {
            ++at;
        }
        value += quoted[at];
    }
    return std::nullopt;
}

/// The folder a line `XDG_DOCUMENTS_DIR="..."` names; nothing for any other line (comments
/// included) and for a value that is empty, relative or no path at all.
std::optional<std::string> DocumentsFolderOf(std::string_view line, std::string_view home) {
    constexpr std::string_view Name = "XDG_DOCUMENTS_DIR";
    constexpr std::string_view HomeVariable = "$HOME";
    line = SkipBlanks(line);
    if (!line.starts_with(Name)) {
        return std::nullopt;
    }
    line = SkipBlanks(line.substr(Name.size()));
    if (!line.starts_with('=')) {
        return std::nullopt;
    }
    line = SkipBlanks(line.substr(1));
    if (!line.starts_with('"')) {
        return std::nullopt;
    }
    line.remove_prefix(1);
    // Only an unescaped "$HOME" as the whole first step of the path stands for the home.
    std::string prefix;
    if (line.starts_with(HomeVariable) && line.size() > HomeVariable.size() &&
        (line[HomeVariable.size()] == '/' || line[HomeVariable.size()] == '"')) {
        if (home.empty()) {
            return std::nullopt;
        }
        prefix = home;
        line.remove_prefix(HomeVariable.size());
    }
    const std::optional<std::string> rest = UnquotedValue(line);
    if (!rest) {
        return std::nullopt;
    }
    const std::string folder = prefix + *rest;
    if (!IsAbsolute(folder) || folder.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return WithoutTrailingSlashes(folder);
}

} // namespace

TUserEnvironment TUserEnvironment::FromProcess() {
    const char* home = std::getenv("HOME");
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    return {home ? home : "", configHome ? configHome : ""};
}

std::string PersonalFolder(const TUserEnvironment& environment) {
    const std::string home = AbsoluteHome(environment);
    std::string folder;
    if (const std::string config = AppDataFolder(environment); !config.empty()) {
        const std::string text = ReadUserDirsFile(JoinPath(config, "user-dirs.dirs"));
        std::string_view rest = text;
        while (!rest.empty()) {
            const std::size_t end = std::min(rest.find('\n'), rest.size());
            std::string_view line = rest.substr(0, end);
            rest.remove_prefix(std::min(end + 1, rest.size()));
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            // The last entry wins, as when the shell reads the file.
            if (auto named = DocumentsFolderOf(line, home)) {
                folder = std::move(*named);
            }
        }
    }
    if (folder.empty() && !home.empty() && FolderExists(JoinPath(home, "Documents"))) {
        folder = JoinPath(home, "Documents");
    }
    return folder;
}

std::string AppDataFolder(const TUserEnvironment& environment) {
    if (IsAbsolute(environment.xdgConfigHome)) {
        return WithoutTrailingSlashes(environment.xdgConfigHome);
    }
    const std::string home = AbsoluteHome(environment);
    return home.empty() ? std::string() : JoinPath(home, ".config");
}
