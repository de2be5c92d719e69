#include "platform/ProfileFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

/// What reading gives for a value written verbatim: blanks trimmed, one pair of quotes gone,
/// cut to the buffer.
std::string ValueAsRead(std::string_view value) {
    auto isBlank = [](char byte) { return byte == ' ' || byte == '\t' || byte == '\v'; };
    while (!value.empty() && isBlank(value.front())) {
        value.remove_prefix(1);
    }
    while (!value.empty() && isBlank(value.back())) {
        value.remove_suffix(1);
    }
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, TProfileFile::MaxValueLength));
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

// Any bytes read as a profile; values never exceed the buffer the profile functions fill. The
// last bytes, written as a value, read back as written, and writing or erasing one section
// leaves the values of another as they were.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TProfileFile profile = TProfileFile::FromBytes(bytes);
    for (const char* key : {"Msg1", "CurrentDir", "FileName1"}) {
        Check(profile.ReadString("Main", key, "").size() <= TProfileFile::MaxValueLength);
    }
    const std::string setting = profile.ReadString("Setting", "CurrentDir", "none");
    const std::string value = bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 64));
    try {
        profile.WriteString("Main", "Msg1", value);
    } catch (const std::invalid_argument&) {
        return 0;
    }
    Check(profile.ReadString("Main", "Msg1", "") == ValueAsRead(value));
    Check(profile.ReadString("Setting", "CurrentDir", "none") == setting);
    profile.EraseSection("Main");
    Check(profile.ReadString("Setting", "CurrentDir", "none") == setting);
    return 0;
}
