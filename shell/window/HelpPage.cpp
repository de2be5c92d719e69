#include "shell/window/HelpPage.h"

#include "platform/Files.h"
#include "platform/ProfileFile.h"
#include "shell/window/ShellServices.h"
#include "shell/window/ShellText.h"
#include "table/session/Messages.h"

#include <QDir>
#include <QUrl>

THelpPageTexts::THelpPageTexts()
    : missing(QStringLiteral("マニュアル %s がありません。")),
      notOpened(QStringLiteral("マニュアル %s を開けませんでした。ブラウザーがないか、"
                               "HTML ファイルを開くプログラムが決まっていません。"
                               "このファイルをブラウザーで開いてください。")) {}

void THelpPageTexts::Read(const TProfileFile& languageFile) {
    missing =
        FromCodePage(languageFile.ReadString(MainSection, "HelpMissing", ToCodePage(missing)));
    notOpened =
        FromCodePage(languageFile.ReadString(MainSection, "HelpNotOpened", ToCodePage(notOpened)));
}

void ShowHelpPage(TShellServices& services, QWidget* owner, const QString& programFolder,
                  const THelpPageTexts& texts) {
    const QString page = programFolder + QStringLiteral("/Help.htm");
    if (services.OpenUrl(QUrl::fromLocalFile(page).toString())) {
        return;
    }
    const QString& text = FileExists(ToNativePath(page)) ? texts.notOpened : texts.missing;
    services.ShowMessage(
        owner, QString(text).replace(QStringLiteral("%s"), QDir::toNativeSeparators(page)));
}
