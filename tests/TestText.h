#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

/// A byte string as a C literal, so that a failing case shows exactly which bytes it had.
inline std::string Escaped(std::string_view bytes) {
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

template <typename TText>
std::string Escaped(const std::vector<TText>& texts) {
    std::string list = "{";
    for (const auto& text : texts) {
        list += (list.size() > 1 ? ", " : "") + Escaped(text);
    }
    return list + "}";
}

/// Names each case of a data-driven test after the `name` field of its parameter.
struct TCaseName {
    template <typename TParamInfo>
    std::string operator()(const TParamInfo& testCase) const {
        return testCase.param.name;
    }
};
