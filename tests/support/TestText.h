#pragma once

#include <string>
#include <string_view>
#include <vector>

/// A byte string as a C literal, so that a failing case shows exactly which bytes it had.
std::string Escaped(std::string_view bytes);

template <typename TText>
std::string Escaped(const std::vector<TText>& texts) {
    std::string list = "{";
    for (const auto& text : texts) {
        list += (list.size() > 1 ? ", " : "") + Escaped(text);
    }
    return list + "}";
}

/// The texts between the `separator`s of `text`: one more than there are separators. Tests
/// write rows of cells as "a|b|c/d|e".
std::vector<std::string> Split(std::string_view text, char separator = '|');

/// Names each case of a data-driven test after the `name` field of its parameter.
struct TCaseName {
    template <typename TParamInfo>
    std::string operator()(const TParamInfo& testCase) const {
        return testCase.param.name;
    }
};
