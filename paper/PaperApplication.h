#pragma once

#include <QGuiApplication>
#include <memory>
#include <vector>

/// The Qt application a program without a window needs to paint on paper (the fonts come
/// from its platform). Unless the caller names a platform (QT_QPA_PLATFORM, or "-platform"
/// among the arguments), it asks for the offscreen one through its own arguments, so that no
/// display is needed; the environment stays as the caller set it. Windows needs no display:
/// there the platform is left to Qt. Qt's warnings are dropped, its failures still reported;
/// the C library's locale stays as it was.
class TPaperApplication {
public:
    TPaperApplication(int argc, char** argv);
    TPaperApplication(const TPaperApplication&) = delete;
    TPaperApplication& operator=(const TPaperApplication&) = delete;
    ~TPaperApplication();

private:
    std::vector<char*> arguments_;
    int count_ = 0;
    std::unique_ptr<QGuiApplication> application_;
};
