#include "table/session/TableSession.h"

#include "platform/Files.h"
#include "platform/TextEncoding.h"

#include <new>
#include <utility>

namespace {

const std::string& EmptyTestText() {
    static const std::string text = GetTableText(TAnswerTable().EmptyTest());
    return text;
}

} // namespace

TTableSession::TTableSession(TLoadedText loadedText) : keepsLoadedText_(loadedText) {}

void TTableSession::Start() {
    table_.SetQuestionCount(50);
    table_.SetHighlightColor(clWhite);
    New();
}

void TTableSession::New() {
    table_.Reset();
    loadedText_.clear();
    loadedTextKnown_ = true;
    fileName_.clear();
}

std::size_t TTableSession::Open(const std::filesystem::path& fileName) {
    TCodePageText file = LoadAnswerFile(table_, fileName, keepsLoadedText_);
    loadedText_ = std::move(file.text);
    loadedTextKnown_ = keepsLoadedText_ == TLoadedText::Kept;
    fileName_ = fileName;
    return file.replacedCount;
}

void TTableSession::SaveText(const std::filesystem::path& fileName, std::string text) {
    WriteFileBytesAtomic(fileName, text);
    loadedText_ = std::move(text);
    loadedTextKnown_ = true;
    fileName_ = fileName;
}

void TTableSession::Save(const std::filesystem::path& fileName) {
    if (keepsLoadedText_ == TLoadedText::Kept) {
        SaveText(fileName, GetTableText(table_));
        return;
    }
    SaveTableFile(table_, fileName);
    loadedText_.clear();
    loadedTextKnown_ = false;
    fileName_ = fileName;
}

bool TTableSession::IsChanged() const {
    return !loadedTextKnown_ || IsChanged(GetTableText(table_));
}

bool TTableSession::IsChanged(std::string_view tableText) const {
    return !loadedTextKnown_ || tableText != (loadedText_.empty() ? EmptyTestText() : loadedText_);
}

std::string FailureText(const std::exception& failure) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        return "メモリが足りません";
    }
    return failure.what();
}
