#include "shell/window/ShellText.h"

#include "platform/CodePage.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>

QString FromCodePage(std::string_view bytes) {
    const std::u16string text = TCodePage::Decode(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

std::u16string_view Utf16Of(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace

std::string ToCodePage(const QString& text) {
    return TCodePage::Encode(Utf16Of(text));
}

std::string ToCodePage(const QString& text, std::size_t& replacedCount) {
    std::string bytes;
    replacedCount = TCodePage::AppendEncoded(Utf16Of(text), bytes);
    return bytes;
}

QString FromPathText(std::string_view text) {
#ifdef Q_OS_WIN
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
#else
    return QFile::decodeName(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
#endif
}

std::string ToPathText(const QString& fileName) {
#ifdef Q_OS_WIN
    // Qt's dialogs give '/'; the program's path rules split at the native backslash.
    return QDir::toNativeSeparators(fileName).toStdString();
#else
    return QFile::encodeName(fileName).toStdString();
#endif
}

QString FromNativePath(const std::filesystem::path& path) {
    return FromPathText(PathText(path));
}

std::filesystem::path ToNativePath(const QString& fileName) {
    return PathFromText(ToPathText(fileName));
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ToQColor(TColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}
