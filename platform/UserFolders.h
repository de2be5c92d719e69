#pragma once

#include <string>

/// What the folder lookups read of the process's environment; tests build their own.
#ifdef _WIN32
struct TUserEnvironment {
    std::string documents; // the known folder Documents, as a path text; empty when unknown
    std::string appData;   // the known folder RoamingAppData, as a path text; empty when unknown
    static TUserEnvironment FromProcess();
};
#else
struct TUserEnvironment {
    std::string home;          // $HOME
    std::string xdgConfigHome; // $XDG_CONFIG_HOME, empty when unset
    static TUserEnvironment FromProcess();
};
#endif

/// The user's documents folder, without a trailing separator. On Windows the known folder.
/// Elsewhere XDG_DOCUMENTS_DIR from <config folder>/user-dirs.dirs with "$HOME" expanded, else
/// <home>/Documents when that folder exists, else empty; a home that is not an absolute path
/// counts as none. Never throws: a missing or unreadable file is no entry.
std::string PersonalFolder(const TUserEnvironment& environment);

/// The configuration folder, without a trailing separator. On Windows the roaming
/// application-data folder. Elsewhere $XDG_CONFIG_HOME when it is an absolute path, else
/// <home>/.config; empty when neither can be formed. It need not exist.
std::string AppDataFolder(const TUserEnvironment& environment);
