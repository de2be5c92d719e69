#include "shell/window/SavePlace.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "shell/window/ShellText.h"

TSavePlace WritableSavePlace(const QString& folder, const QString& proposedName,
                             const TUserEnvironment& user) {
    const std::string proposed = ToPathText(proposedName);
    const std::string target = proposed.empty() ? ToPathText(folder) : ExtractFileDir(proposed);
    const std::string documents = PersonalFolder(user);
    if (documents.empty() || FolderWritable(PathFromText(target))) {
        return {folder, proposedName};
    }
    if (proposed.empty()) {
        return {FromPathText(documents), {}};
    }
    return {FromPathText(documents),
            FromNativePath(PathFromText(documents) / PathFromText(ExtractFileName(proposed)))};
}
