#include "platform/ProfileFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// Any bytes read as a profile; values never exceed the buffer the profile functions fill.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TProfileFile profile =
        TProfileFile::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
    for (const char* key : {"Msg1", "CurrentDir", "FileName1"}) {
        if (profile.ReadString("Main", key, "").size() > TProfileFile::MaxValueLength) {
            std::abort();
        }
    }
    return 0;
}
