#include "shell/logic/FileNameList.h"

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "shell/logic/SettingsFiles.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <system_error>
#include <utility>

namespace {

constexpr std::string_view ParentFolder = "..";

/// The store holds a few short lines. A far larger file is no store of ours: it is neither
/// read nor rewritten, which would cost seconds and its size in memory at every start and end.
constexpr std::uintmax_t MaxStoreSize = 4 << 20;

bool IsOversized(const std::filesystem::path& fileName) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    return !error && size > MaxStoreSize;
}

std::string KeyName(std::size_t slot) {
    return "FileName" + std::to_string(slot);
}

bool IsAbbreviated(std::string_view storedName) {
    return storedName == ParentFolder ||
           (storedName.starts_with(ParentFolder) && storedName.size() > ParentFolder.size() &&
            storedName[ParentFolder.size()] == PathDelimiter);
}

} // namespace

TFileNameList::TFileNameList(TUserEnvironment environment, std::filesystem::path executablePath)
    : environment_(std::move(environment)), executablePath_(std::move(executablePath)) {}

void TFileNameList::LoadFileNames() {
    personalFolder_ = ::PersonalFolder(environment_);
    iniFileName_ = WorkOutIniFileName();
    if (IsOversized(iniFileName_)) {
        return;
    }
    const TProfileFile store(iniFileName_);
    // Each name goes to the top, so the last one added, FileName1, ends up first. Empty
    // values and vanished files give "", which AddFileName skips.
    for (std::size_t slot = MaxFileNames; slot >= 1; --slot) {
        AddFileName(ExistingFileOf(store.ReadString(SectionName, KeyName(slot), "")));
    }
}

void TFileNameList::SaveFileNames() const {
    if (iniFileName_.empty()) {
        return;
    }
    if (IsOversized(iniFileName_)) {
        throw EIniFileError(PathText(iniFileName_),
                            std::make_error_code(std::errc::file_too_large));
    }
    TProfileFile store(iniFileName_);
    store.EraseSection(SectionName);
    // A name the store cannot hold stays listed for this run only; the names after it move up.
    std::size_t slot = 0;
    for (const std::string& fileName : fileNames_) {
        if (const std::optional<std::string> value = TProfileFile::ValueReadingBack(fileName)) {
            store.WriteString(SectionName, KeyName(++slot), *value);
        }
    }
    while (slot < MaxFileNames) {
        store.WriteString(SectionName, KeyName(++slot), "");
    }
    store.UpdateFile();
}

void TFileNameList::AddFileName(std::string_view fileName) {
    if (fileName.empty()) {
        return;
    }
    std::string storedName = StoredForm(fileName);
    if (MoveToTop(storedName)) {
        return;
    }
    entryCount_ = std::min(entryCount_ + 1, MaxFileNames);
    std::move_backward(fileNames_.begin(), fileNames_.end() - 1, fileNames_.end());
    fileNames_.front() = std::move(storedName);
}

std::string TFileNameList::Caption(std::size_t index) const {
    return "&" + std::to_string(index + 1) + "  " + fileNames_.at(index);
}

std::string TFileNameList::ExpandedName(std::size_t index) const {
    return Expanded(fileNames_.at(index));
}

std::string TFileNameList::StoredForm(std::string_view fileName) const {
    const std::size_t length = personalFolder_.size();
    if (length > 0 && fileName.size() > length && fileName.starts_with(personalFolder_) &&
        fileName[length] == PathDelimiter) {
        return std::string(ParentFolder) + std::string(fileName.substr(length));
    }
    return std::string(fileName);
}

std::string TFileNameList::Expanded(std::string_view storedName) const {
    if (!personalFolder_.empty() && IsAbbreviated(storedName)) {
        return personalFolder_ + std::string(storedName.substr(ParentFolder.size()));
    }
    return std::string(storedName);
}

bool TFileNameList::MoveToTop(const std::string& storedName) {
    const auto found = std::find(fileNames_.begin(), fileNames_.end(), storedName);
    if (found == fileNames_.end()) {
        return false;
    }
    std::rotate(fileNames_.begin(), found, found + 1);
    return true;
}

std::string TFileNameList::ExistingFileOf(std::string_view storedName) const {
    if (storedName.empty() || (IsAbbreviated(storedName) && personalFolder_.empty())) {
        // Without the documents folder an abbreviated name would be taken relative to
        // whatever the current folder is.
        return {};
    }
    if (std::string fileName = Expanded(storedName); FileExists(PathFromText(fileName))) {
        return fileName;
    }
    // Stores written before names were abbreviated only at their start have the folder
    // replaced wherever it was found in the name.
    const std::size_t parent = storedName.find(ParentFolder);
    if (!personalFolder_.empty() && parent != std::string_view::npos) {
        std::string formerName(storedName);
        formerName.replace(parent, ParentFolder.size(), personalFolder_);
        if (FileExists(PathFromText(formerName))) {
            return formerName;
        }
    }
    return {};
}

std::filesystem::path TFileNameList::WorkOutIniFileName() const {
    return SettingsFilePath(executablePath_, environment_,
                            FolderWritable(executablePath_.parent_path()));
}
