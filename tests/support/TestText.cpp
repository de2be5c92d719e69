#include "TestText.h"

#include <cstdio>

std::string Escaped(std::string_view bytes) {
    std::string text = "\"";
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code >= 0x20 && code < 0x7F) {
            text += byte == '"' || byte == '\\' ? "\\" : "";
            text += byte;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", code);
            text += hex;
        }
    }
    return text + "\"";
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> texts(1);
    for (const char byte : text) {
        if (byte == separator) {
            texts.emplace_back();
        } else {
            texts.back() += byte;
        }
    }
    return texts;
}
