#include "paper/PaperApplication.h"

#include "paper/PaperCanvas.h"

#include <clocale>
#include <cstring>
#include <string>

namespace {

QtMessageHandler qtHandler = nullptr;

/// The program's standard error carries its own reports: Qt's notes on its set-up (a missing
/// runtime folder) are no concern of the caller's, its failures are.
void PassOnFailures(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        qtHandler(type, context, message);
    }
}

} // namespace

#ifndef _WIN32
namespace {

char PlatformOption[] = "-platform";
char Offscreen[] = "offscreen";

bool NamesPlatform(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        return true;
    }
    for (int at = 1; at < argc; ++at) {
        if (std::strcmp(argv[at], PlatformOption) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace
#endif

TPaperApplication::TPaperApplication(int argc, char** argv) : arguments_(argv, argv + argc) {
#ifndef _WIN32
    if (!NamesPlatform(argc, argv)) {
        arguments_.push_back(PlatformOption);
        arguments_.push_back(Offscreen);
    }
#endif
    qtHandler = qInstallMessageHandler(PassOnFailures);
    count_ = static_cast<int>(arguments_.size());
    arguments_.push_back(nullptr);
    // Qt sets the C library's locale from the environment as it starts; the program reads and
    // writes numbers by its own rules and leaves the locale as its caller set it.
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    application_ = std::make_unique<QGuiApplication>(count_, arguments_.data());
    std::setlocale(LC_ALL, locale.c_str());
    RegisterPaperFontSubstitutes();
}

TPaperApplication::~TPaperApplication() = default;
