#include "platform/Files.h"
#include "platform/UserFolders.h"
#include "shell/about/About_Box.h"
#include "shell/window/MainForm.h"
#include "shell/window/ShellServices.h"
#include "shell/window/ShellText.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TQtShellServices services;
    TMain main({ExecutablePath(), TUserEnvironment::FromProcess()}, services);
    QApplication::setApplicationName(main.ApplicationTitle());
    // The window is its transient parent, so that the window system keeps it above the window
    // (and the error box that may follow it) instead of behind.
    TAboutBox aboutBox([&services](const QString& url) { services.OpenUrl(url); }, &main);
    aboutBox.setAttribute(Qt::WA_QuitOnClose, false);
    main.SetAboutBox(&aboutBox);
    main.show();
    // A desktop opens an answer file by naming it.
#ifdef Q_OS_WIN
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1) {
        main.OpenGivenFile(arguments.at(1));
    }
#else
    // The name's bytes as given: Qt's arguments would change a name that is no UTF-8.
    if (argc > 1) {
        main.OpenGivenFile(FromPathText(argv[1]));
    }
#endif
    return QApplication::exec();
}
