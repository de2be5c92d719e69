#include "shell/window/ShellText.h"

#include "platform/CodePage.h"
#include "platform/Paths.h"

#include <QDir>

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

#ifdef Q_OS_WIN

QString FromPathText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToPathText(const QString& fileName) {
    // Qt's dialogs give '/'; the program's path rules split at the native backslash.
    return QDir::toNativeSeparators(fileName).toStdString();
}

#else

namespace {

/// A byte of a name that is no UTF-8 is held as the lone low surrogate U+DC00 + byte, which no
/// decoded name holds, so that the name's bytes come back whole: Qt's own conversion makes
/// every such byte U+FFFD, and the name another.
constexpr char16_t EscapedByteBase = 0xDC00;
constexpr char16_t FirstEscapedByte = EscapedByteBase + 0x80;
constexpr char16_t LastEscapedByte = EscapedByteBase + 0xFF;

/// The length of the UTF-8 sequence that `text` starts with; 0 when it starts with none.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (byte(index) & 0x3Fu);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < least || code > 0x10FFFF || surrogate ? 0 : length;
}

} // namespace

QString FromPathText(std::string_view text) {
    QString name;
    std::size_t decodedUpTo = 0;
    const auto decodeUpTo = [&](std::size_t end) {
        name +=
            QString::fromUtf8(text.data() + decodedUpTo, static_cast<qsizetype>(end - decodedUpTo));
    };
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text.substr(at));
        if (length > 0) {
            at += length;
            continue;
        }
        decodeUpTo(at);
        name +=
            QChar(static_cast<char16_t>(EscapedByteBase + static_cast<unsigned char>(text[at])));
        decodedUpTo = ++at;
    }
    decodeUpTo(text.size());
    return name;
}

std::string ToPathText(const QString& fileName) {
    std::string bytes;
    qsizetype encodedUpTo = 0;
    const auto encodeUpTo = [&](qsizetype end) {
        bytes += fileName.mid(encodedUpTo, end - encodedUpTo).toStdString();
    };
    for (qsizetype at = 0; at < fileName.size(); ++at) {
        const char16_t unit = fileName.at(at).unicode();
        const bool escaped = unit >= FirstEscapedByte && unit <= LastEscapedByte &&
                             (at == 0 || !fileName.at(at - 1).isHighSurrogate());
        if (escaped) {
            encodeUpTo(at);
            bytes += static_cast<char>(unit - EscapedByteBase);
            encodedUpTo = at + 1;
        }
    }
    encodeUpTo(fileName.size());
    return bytes;
}

#endif

QString FromNativePath(const std::filesystem::path& path) {
    return FromPathText(PathText(path));
}

std::filesystem::path ToNativePath(const QString& fileName) {
    return PathFromText(ToPathText(fileName));
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Worded(const TUserText& text, const TLanguageTexts& texts) {
    return FromUtf8(text.Render(texts));
}

QColor ToQColor(TColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}
