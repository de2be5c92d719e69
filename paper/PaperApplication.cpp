#include "paper/PaperApplication.h"

#include "paper/PaperCanvas.h"

#include <cstring>

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
    application_ = std::make_unique<QGuiApplication>(count_, arguments_.data());
    RegisterPaperFontSubstitutes();
}

TPaperApplication::~TPaperApplication() = default;
