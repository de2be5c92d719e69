#pragma once

#include <QString>

class TProfileFile;
class TShellServices;
class QWidget;

/// What the window says when the manual does not open; "%s" stands for the manual's file.
struct THelpPageTexts {
    QString missing;
    QString notOpened;

    /// The Japanese texts.
    THelpPageTexts();
    /// Takes the texts the language file's section Main holds.
    void Read(const TProfileFile& languageFile);
};

/// Opens the manual, Help.htm in `programFolder`, in the system's browser; when the system
/// cannot, says so over `owner`, with the file's name.
void ShowHelpPage(TShellServices& services, QWidget* owner, const QString& programFolder,
                  const THelpPageTexts& texts);
