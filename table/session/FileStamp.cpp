#include "table/session/FileStamp.h"

#include "platform/Errors.h"
#include "platform/Files.h"

#include <cstring>
#include <string>
#include <system_error>

namespace {

/// A hash of the bytes eight at a time: a file is read again whole before it is overwritten,
/// so the hash must cost far less than the reading.
class TContentHash {
public:
    void Add(std::string_view bytes) {
        std::size_t at = 0;
        for (; at + sizeof(std::uint64_t) <= bytes.size(); at += sizeof(std::uint64_t)) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + at, sizeof word);
            Mix(word);
        }
        std::uint64_t tail = 0;
        std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
        Mix(tail ^ (std::uint64_t{bytes.size() - at} << 56));
    }
    std::uint64_t Value() const { return value_; }

private:
    void Mix(std::uint64_t word) {
        value_ = (value_ ^ word) * 0x9E3779B97F4A7C15;
        value_ ^= value_ >> 29;
    }
    std::uint64_t value_ = 0x243F6A8885A308D3;
};

} // namespace

EFileChangedError::EFileChangedError(std::string_view fileName)
    : EPelloranError(TUserText(
          "FileChanged", "ファイル %1 は、開いたか保存した後でほかのプログラムに変更されています",
          {TUserText::Literal(std::string(fileName))})) {}

TFileStamp ReadFileStamp(const std::filesystem::path& fileName) {
    TFileStamp stamp;
    std::error_code error;
    stamp.writeTime = std::filesystem::last_write_time(fileName, error);
    if (error) {
        return {};
    }
    try {
        TFileReader reader(fileName);
        constexpr std::size_t PieceSize = std::size_t{1} << 20;
        std::string piece;
        TContentHash hash;
        while (true) {
            piece.clear();
            const std::size_t read = reader.ReadInto(piece, PieceSize);
            hash.Add(piece);
            stamp.size += read;
            if (read < PieceSize) {
                break;
            }
        }
        stamp.contentHash = hash.Value();
    } catch (const EFileError&) {
        return {};
    }
    stamp.known = true;
    return stamp;
}
