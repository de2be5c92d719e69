#pragma once

#include <string>
#include <string_view>
#include <system_error>

/// The text conversions and error codes every Windows service of the platform layer needs.

/// Malformed UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
/// Whether the bytes are UTF-8 throughout.
bool IsUtf8(std::string_view bytes);
/// A lone surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

/// The cause GetLastError holds now.
std::error_code LastWindowsError();
