#include "table/session/TableSession.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"

#include <new>
#include <system_error>
#include <utility>

namespace {

const std::string& EmptyTestText() {
    static const std::string text = GetTableText(TAnswerTable().EmptyTest());
    return text;
}

} // namespace

TTableSession::TTableSession(TLoadedText loadedText) : keepsLoadedText_(loadedText) {}

void TTableSession::Start() {
    table_.SetQuestionCount(TAnswerTable::InitialQuestionCount);
    table_.SetHighlightColor(clWhite);
    New();
}

void TTableSession::New() {
    table_.Reset();
    file_ = TSessionFile{};
    file_.unsaved = FindUnsavedCells(table_);
}

TOpenedFile TTableSession::Open(const std::filesystem::path& fileName) {
    const bool keeps = keepsLoadedText_ == TLoadedText::Kept;
    // A class, or the roster of one.
    const bool heldClass = FirstTextRowFrom(table_, TAnswerTable::FirstStudentRow) != 0;
    // Taken before the file is read: a change made while it is read shows as a change after.
    const TFileStamp stamp = keeps ? ReadFileStamp(fileName) : TFileStamp{};
    const TLoadedFile file = LoadAnswerFile(table_, fileName, keepsLoadedText_);
    if (heldClass && !file.replacedClass) {
        return {file.notices, false};
    }
    TakeTableAsFile(fileName, keeps ? GetTableText(table_) : std::string());
    file_.stamp = stamp;
    return {file.notices, true};
}

void TTableSession::TakeTableAsFile(const std::filesystem::path& fileName, std::string tableText) {
    file_.loadedText = std::move(tableText);
    file_.loadedTextKnown = keepsLoadedText_ == TLoadedText::Kept;
    file_.unsaved = FindUnsavedCells(table_);
    file_.fileName = fileName;
    file_.holdsTable = true;
    file_.stamp = {};
}

void TTableSession::SetFileName(const std::filesystem::path& fileName) {
    if (fileName != file_.fileName) {
        file_.fileName = fileName;
        file_.holdsTable = false;
        // What was known of the other file says nothing of this one.
        file_.stamp = {};
    }
}

std::filesystem::path TTableSession::TableFileName() const {
    return file_.holdsTable ? file_.fileName : std::filesystem::path();
}

void TTableSession::SaveText(const std::filesystem::path& fileName, std::string text) {
    WriteFileBytesAtomic(fileName, text);
    const bool keeps = keepsLoadedText_ == TLoadedText::Kept;
    TakeTableAsFile(fileName, keeps ? std::move(text) : std::string());
    if (keeps) {
        file_.stamp = ReadFileStamp(fileName);
    }
}

void TTableSession::Save(const std::filesystem::path& fileName, TUnsavedCellsChoice unsavedCells) {
    if (unsavedCells == TUnsavedCellsChoice::Refused) {
        CheckNoUnsavedCells();
    }
    if (FileChangedSince(fileName)) {
        throw EFileChangedError(PathText(fileName));
    }
    if (keepsLoadedText_ == TLoadedText::Kept) {
        SaveText(fileName, GetTableText(table_));
        return;
    }
    SaveTableFile(table_, fileName);
    TakeTableAsFile(fileName, {});
}

void TTableSession::CheckNoUnsavedCells() const {
    if (const TUnsavedCells unsaved = UnsavedCells(); !unsaved.IsEmpty()) {
        throw EUnsavedCellsError(unsaved);
    }
}

bool TTableSession::FileChangedSince(const std::filesystem::path& fileName) const {
    if (!file_.stamp.known) {
        return false;
    }
    std::error_code error;
    if (!std::filesystem::equivalent(fileName, file_.fileName, error) || error) {
        return false;
    }
    const TFileStamp now = ReadFileStamp(fileName);
    return now.known && now != file_.stamp;
}

TSessionFile TTableSession::ExchangeFile(TSessionFile file) {
    std::swap(file, file_);
    return file;
}

bool TTableSession::IsChanged() const {
    return !file_.loadedTextKnown || IsChanged(GetTableText(table_));
}

bool TTableSession::IsChanged(std::string_view tableText) const {
    return !file_.loadedTextKnown ||
           tableText != (file_.loadedText.empty() ? EmptyTestText() : file_.loadedText) ||
           FindUnsavedCells(table_).fingerprint != file_.unsaved.fingerprint;
}

std::string FailureTextWithCause(const std::exception& failure, const TLanguageTexts& texts) {
    std::string text = FailureText(failure, texts);
    const auto* fileError = dynamic_cast<const EFileError*>(&failure);
    if (fileError != nullptr && fileError->Cause() &&
        fileError->Cause() != std::errc::no_such_file_or_directory) {
        text += ": " + fileError->Cause().message();
    }
    return text;
}

std::string FailureText(const std::exception& failure, const TLanguageTexts& texts) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        return TUserText("OutOfMemory", "メモリが足りません").Render(texts);
    }
    return FailureUserText(failure).Render(texts);
}
