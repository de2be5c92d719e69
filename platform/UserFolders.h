#pragma once

#include <string>

/// What the folder lookups read of the process's environment; tests build their own.
struct TUserEnvironment {
    std::string home;          // $HOME
    std::string xdgConfigHome; // $XDG_CONFIG_HOME, empty when unset
    static TUserEnvironment FromProcess();
};

/// The user's documents folder: XDG_DOCUMENTS_DIR from <config folder>/user-dirs.dirs with
/// "$HOME" expanded, else <home>/Documents when that folder exists, else empty. No trailing
/// '/'. A home that is not an absolute path counts as none. Never throws: a missing or
/// unreadable file is no entry.
std::string PersonalFolder(const TUserEnvironment& environment);

/// The configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else <home>/.config;
/// empty when neither can be formed. It need not exist. No trailing '/'.
std::string AppDataFolder(const TUserEnvironment& environment);
