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
    file_.loadedText.clear();
    file_.loadedTextKnown = true;
    file_.fileName.clear();
}

TLoadNotices TTableSession::Open(const std::filesystem::path& fileName) {
    TLoadedFile file = LoadAnswerFile(table_, fileName, keepsLoadedText_);
    file_.loadedText = std::move(file.text);
    file_.loadedTextKnown = keepsLoadedText_ == TLoadedText::Kept;
    file_.fileName = fileName;
    return file.notices;
}

void TTableSession::SaveText(const std::filesystem::path& fileName, std::string text) {
    WriteFileBytesAtomic(fileName, text);
    file_.loadedText = std::move(text);
    file_.loadedTextKnown = true;
    file_.fileName = fileName;
}

void TTableSession::Save(const std::filesystem::path& fileName) {
    if (keepsLoadedText_ == TLoadedText::Kept) {
        SaveText(fileName, GetTableText(table_));
        return;
    }
    SaveTableFile(table_, fileName);
    file_.loadedText.clear();
    file_.loadedTextKnown = false;
    file_.fileName = fileName;
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
           tableText != (file_.loadedText.empty() ? EmptyTestText() : file_.loadedText);
}

std::string FailureText(const std::exception& failure) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        return "メモリが足りません";
    }
    return failure.what();
}
