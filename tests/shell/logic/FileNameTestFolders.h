#pragma once

#include "TestFiles.h"
#include "platform/Paths.h"
#include "platform/UserFolders.h"
#include "shell/logic/FileNameList.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

/// The name with '/' turned into the system's separator: each case is written once for both.
inline std::string Native(std::string name) {
    std::replace(name.begin(), name.end(), '/', PathDelimiter);
    return name;
}

/// A home with a documents folder, a configuration folder holding the store (empty) and an
/// executable folder, all in a temporary folder.
class TFileNameTestFolders {
public:
    TFileNameTestFolders() {
        std::filesystem::create_directories(Documents());
        std::filesystem::create_directories(Root() / "config");
        std::filesystem::create_directories(Root() / "bin");
        WriteTestFile(Store(), "");
    }

    const std::filesystem::path& Root() const { return folder_.Path(); }
    std::filesystem::path Documents() const { return Root() / Native("home/Documents"); }
    std::filesystem::path Executable() const { return Root() / Native("bin/pelloran"); }
    std::filesystem::path Store() const { return Root() / "config/pelloran.ini"; }
    TUserEnvironment Environment() const {
#ifdef _WIN32
        return {PathText(Documents()), PathText(Root() / "config")};
#else
        return {(Root() / "home").string(), (Root() / "config").string()};
#endif
    }

    TFileNameList LoadedList(std::string_view executable = "bin/pelloran") const {
        TFileNameList list(Environment(), Root() / Native(std::string(executable)));
        list.LoadFileNames();
        return list;
    }

    /// Creates an empty file and its folders; returns its full name. The relative name is a
    /// path text, so that a name beyond ASCII is the same file on every system.
    std::string CreateFile(std::string_view relativeName) const {
        const std::filesystem::path fileName =
            Root() / PathFromText(Native(std::string(relativeName)));
        std::filesystem::create_directories(fileName.parent_path());
        WriteTestFile(fileName, "");
        return PathText(fileName);
    }

private:
    TTemporaryFolder folder_;
};

#ifndef _WIN32
/// Makes writing a file beyond `bytes` fail while it lives: a write failure that even the
/// superuser meets, for whom read-only files and folders are writable.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
    ~TFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};
#endif
