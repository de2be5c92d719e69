#pragma once

#include "platform/TextEncoding.h"

#include <string>

/// The encoding a file's bytes are read in; Unknown for a text that cannot be read at all.
inline TTextEncoding EncodingFound(const std::string& bytes) {
    try {
        return ConvertToCodePage(bytes, "t.csv").encoding;
    } catch (const ETextEncodingError&) {
        return TTextEncoding::Unknown;
    }
}
