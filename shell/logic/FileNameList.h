#pragma once

#include "platform/UserFolders.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

/// The nine answer files used last, most recent first, and their store in a profile file.
/// Names are native path bytes. A name inside the user's documents folder is held in stored
/// form: that folder replaced by "..", so "../tests/quiz.csv".
class TFileNameList {
public:
    static constexpr std::size_t MaxFileNames = 9;
    static constexpr std::string_view SectionName = "KeepFileNames";

    /// Nothing is read until LoadFileNames.
    TFileNameList(TUserEnvironment environment, std::filesystem::path executablePath);

    /// Works out the documents folder and the store (the settings file, by SettingsFilePath's
    /// rule), then adds every stored name whose file
    /// still exists, so that the list ends in the stored order. A store of more than a few
    /// megabytes is no store of ours and is not read.
    void LoadFileNames();
    /// Rewrites the store's section with the list; the file's other sections stay. Does
    /// nothing before the first load, so that a list never loaded cannot wipe the store.
    /// Throws EIniFileError, leaving the old store as it was, when it cannot be written or is
    /// too large to be ours.
    void SaveFileNames() const;
    /// Puts the name at the top: a listed name moves there, a new one pushes the others down
    /// and the tenth drops out. An empty name changes nothing.
    void AddFileName(std::string_view fileName);

    /// Slot i holds entry i + 1; the filled slots come first, the rest are empty.
    const std::array<std::string, MaxFileNames>& FileNames() const { return fileNames_; }
    /// Entries made so far; they only grow, as names are never removed during a run.
    std::size_t EntryCount() const { return entryCount_; }
    /// "&", the entry's number, two spaces and the stored name: the entry's menu caption.
    std::string Caption(std::size_t index) const;
    /// The full name of the file in slot `index`, to be opened.
    std::string ExpandedName(std::size_t index) const;

    const std::string& PersonalFolder() const { return personalFolder_; }
    const std::filesystem::path& IniFileName() const { return iniFileName_; }

    /// The name with a leading documents folder abbreviated to "..".
    std::string StoredForm(std::string_view fileName) const;
    /// The full name of a stored-form name; a name that does not begin with "../" is full
    /// already, even when it holds ".." further on (a parent-folder step of its own).
    std::string Expanded(std::string_view storedName) const;

private:
    bool MoveToTop(const std::string& storedName);
    /// The full name a stored value stands for when its file exists, or "".
    std::string ExistingFileOf(std::string_view storedName) const;
    std::filesystem::path WorkOutIniFileName() const;

    TUserEnvironment environment_;
    std::filesystem::path executablePath_;
    std::filesystem::path iniFileName_;
    std::array<std::string, MaxFileNames> fileNames_;
    std::size_t entryCount_ = 0;
    std::string personalFolder_;
};
