#pragma once

#include "table/file/AnswerFile.h"
#include "table/store/AnswerTable.h"

#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

/// What a session knows of the file its table came from: the text the table is compared with
/// and the file's name.
struct TSessionFile {
    std::string loadedText;
    bool loadedTextKnown = true;
    std::filesystem::path fileName;
};

/// The answer table and the state kept around it from command to command, the same for the
/// window and for pelloran-cli: the text the table is compared with before it is dropped, and
/// the file it was last opened from or saved to.
class TTableSession {
public:
    /// `loadedText` Dropped spares a large file's text, and with it whether the table has
    /// changed since: IsChanged then always answers true.
    explicit TTableSession(TLoadedText loadedText = TLoadedText::Kept);

    TAnswerTable& Table() { return table_; }
    const TAnswerTable& Table() const { return table_; }

    /// As the program starts, once the messages are set: 50 questions, the highlight white, an
    /// empty test, untitled.
    void Start();
    /// An empty test, untitled: nothing of the previous class stays, neither its cells nor its
    /// name, and nothing is lost by dropping the new table until something is written into it.
    void New();
    /// Loads the file (see LoadAnswerFile); once it has loaded, it is the session's file and its
    /// text the one the table is compared with. A file that cannot be read changes neither
    /// the table nor what it is compared with. Returns what the user is told of it.
    TLoadNotices Open(const std::filesystem::path& fileName);
    /// Writes `text`, the table text taken when the user chose to save, into the file; it
    /// becomes the session's file and the text the table is compared with.
    void SaveText(const std::filesystem::path& fileName, std::string text);
    /// Saves the table text into the file as SaveText does.
    void Save(const std::filesystem::path& fileName);

    /// Whether dropping the table would lose something: its text differs from the text of the
    /// file last opened or saved, or, when there is none, from an empty test's.
    bool IsChanged() const;
    /// The same for the table text already taken, `GetTableText(Table())`.
    bool IsChanged(std::string_view tableText) const;
    /// The text the table is compared with: the file's lines, each followed by CR LF; empty
    /// when no file has been opened or saved since the start or New.
    const std::string& LoadedText() const { return file_.loadedText; }

    /// The file last opened or saved, or the one the window was told of; empty when untitled.
    const std::filesystem::path& FileName() const { return file_.fileName; }
    void SetFileName(const std::filesystem::path& fileName) { file_.fileName = fileName; }

    /// Puts `file` in place of what the session knows of its file and returns what it knew:
    /// for undoing an Open or a New together with the table.
    TSessionFile ExchangeFile(TSessionFile file);

private:
    TAnswerTable table_;
    TLoadedText keepsLoadedText_;
    TSessionFile file_;
};

/// A failure's text for the user, UTF-8: its message, or that memory ran out.
std::string FailureText(const std::exception& failure);
