#include "shell/window/DialogFileName.h"

#include "shell/window/ShellText.h"

#include <QFile>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

#ifndef Q_OS_WIN
/// The one entry of `folder` whose name Qt shows as `shownName`.
std::optional<std::filesystem::path> EntryShownAs(const std::filesystem::path& folder,
                                                  const QString& shownName) {
    std::optional<std::filesystem::path> found;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string bytes = entry->path().filename().string();
        if (QFile::decodeName(QByteArray::fromStdString(bytes)) != shownName) {
            continue;
        }
        if (found) {
            return std::nullopt;
        }
        found = entry->path();
    }
    return found;
}
#endif

} // namespace

QString DialogFileName(const QString& answer) {
#ifdef Q_OS_WIN
    // Windows names are UTF-16, which the dialogs keep.
    return answer;
#else
    if (!answer.contains(QChar::ReplacementCharacter)) {
        return answer;
    }
    const std::filesystem::path given = ToNativePath(answer);
    std::filesystem::path resolved = given.root_path();
    for (const std::filesystem::path& part : given.relative_path()) {
        std::filesystem::path next = resolved / part;
        const QString shownPart = FromNativePath(part);
        std::error_code error;
        if (shownPart.contains(QChar::ReplacementCharacter) &&
            !std::filesystem::exists(next, error)) {
            // A name to be made, in a folder that exists, stays as given.
            next = EntryShownAs(resolved, shownPart).value_or(next);
        }
        resolved = std::move(next);
    }
    return FromNativePath(resolved);
#endif
}
