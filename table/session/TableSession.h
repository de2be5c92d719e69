#pragma once

#include "platform/UserText.h"
#include "table/file/AnswerFile.h"
#include "table/file/UnsavedCells.h"
#include "table/session/FileStamp.h"
#include "table/store/AnswerTable.h"

#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

/// What a session knows of the file its table came from: the table as it was opened or saved,
/// which the table is compared with, and the file's name and state.
struct TSessionFile {
    /// The table text as last opened or saved.
    std::string loadedText;
    bool loadedTextKnown = true;
    /// The cells the file did not keep, as last opened or saved.
    TUnsavedCells unsaved;
    std::filesystem::path fileName;
    /// The table was opened from `fileName` or saved to it, rather than only named after it (a
    /// chosen file that could not be opened).
    bool holdsTable = false;
    /// The file as last read or written here; not known when its text is dropped.
    TFileStamp stamp;
};

/// What a save does with a table holding cells that the file would not keep.
enum class TUnsavedCellsChoice { Refused, Dropped };

/// What an Open did.
struct TOpenedFile {
    /// What the user is told of the file.
    TLoadNotices notices;
    /// The file named the table: false for a file of the key and points only, loaded over a
    /// class, which stays the class of its own file.
    bool namesTable = true;
};

/// The answer table and the state kept around it from command to command, the same for the
/// window and for pelloran-cli: the table as it was opened or saved, which the table is
/// compared with before it is dropped, and the file it was last opened from or saved to.
class TTableSession {
public:
    /// `loadedText` Dropped spares a large file's text, and with it whether the table has
    /// changed since and whether the file has: IsChanged then always answers true.
    explicit TTableSession(TLoadedText loadedText = TLoadedText::Kept);

    TAnswerTable& Table() { return table_; }
    const TAnswerTable& Table() const { return table_; }

    /// As the program starts, once the messages are set: 50 questions, the highlight white, an
    /// empty test, untitled.
    void Start();
    /// An empty test, untitled: nothing of the previous class stays, neither its cells nor its
    /// name, and nothing is lost by dropping the new table until something is written into it.
    void New();
    /// Loads the file (see LoadAnswerFile); once it has loaded, it is the session's file and the
    /// table as loaded the one it is compared with. A file of the key and points only, loaded
    /// over a table holding students, leaves that class its file and what it is compared with.
    /// A file that cannot be read changes neither the table nor what it is compared with.
    TOpenedFile Open(const std::filesystem::path& fileName);
    /// Writes `text`, the table text taken when the user chose to save, into the file; it
    /// becomes the session's file and the text the table is compared with.
    void SaveText(const std::filesystem::path& fileName, std::string text);
    /// Saves the table text into the file as SaveText does. Refuses a table with cells the file
    /// would not keep (EUnsavedCellsError), unless they are to be `Dropped`, and a file that
    /// another program changed since this session opened or saved it (EFileChangedError):
    /// nobody can be asked.
    void Save(const std::filesystem::path& fileName,
              TUnsavedCellsChoice unsavedCells = TUnsavedCellsChoice::Refused);

    /// Whether dropping the table would lose something: it differs from the table as last
    /// opened or saved (or, when there is none, from an empty test), in its text or in the
    /// cells that the file does not keep.
    bool IsChanged() const;
    /// The same for the table text already taken, `GetTableText(Table())`.
    bool IsChanged(std::string_view tableText) const;
    /// The text the table is compared with: the table text as last opened or saved; empty when
    /// neither happened since the start or New.
    const std::string& LoadedText() const { return file_.loadedText; }

    /// Cells with text that saving would drop.
    TUnsavedCells UnsavedCells() const { return FindUnsavedCells(table_); }
    /// Throws EUnsavedCellsError when there are such cells.
    void CheckNoUnsavedCells() const;
    /// Whether writing `fileName` would overwrite the session's file after another program
    /// changed it since it was opened or saved here.
    bool FileChangedSince(const std::filesystem::path& fileName) const;

    /// The file last opened or saved, or the one the window was told of; empty when untitled.
    const std::filesystem::path& FileName() const { return file_.fileName; }
    /// Another name than the file's names a file the table does not hold.
    void SetFileName(const std::filesystem::path& fileName);
    /// The file the table was last opened from or saved to, which saving without a dialog
    /// writes; empty when untitled or named after a file that could not be opened.
    std::filesystem::path TableFileName() const;

    /// Puts `file` in place of what the session knows of its file and returns what it knew:
    /// for undoing an Open or a New together with the table.
    TSessionFile ExchangeFile(TSessionFile file);

private:
    /// The table as it stands is the one saved or opened from `fileName`.
    void TakeTableAsFile(const std::filesystem::path& fileName, std::string tableText);

    TAnswerTable table_;
    TLoadedText keepsLoadedText_;
    TSessionFile file_;
};

/// A failure's text for the user, in the wording of `texts`, UTF-8: its message, or that memory
/// ran out.
std::string FailureText(const std::exception& failure, const TLanguageTexts& texts);

/// FailureText followed by the system's cause of a file's failure where the system gave one. A
/// file that is not there, the commonest failure, keeps the message alone, which scripts match.
std::string FailureTextWithCause(const std::exception& failure, const TLanguageTexts& texts);
