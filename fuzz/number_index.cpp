// The stored index of asset numbers, read from any bytes (with their checksum made right, so
// that what follows the checksum is reached): never a crash or a read past the end; what it
// reads it writes back to the same bytes, and with additions applied to bytes that read again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "velcomp/NumberIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // magic (16 bytes), the body's length (8), the body, its checksum (8), additions
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::uint64_t length = 0;
    for (int i = 7; i >= 0 && size >= 24; --i) {
        length = length << 8 | static_cast<unsigned char>(bytes[16 + i]);
    }
    if (size >= 32 && length <= size - 32) {
        const std::uint64_t sum =
            velcomp::IndexChecksum(std::string_view(bytes).substr(24, length));
        for (int i = 0; i < 8; ++i) {
            bytes[24 + length + i] = static_cast<char>(sum >> (8 * i) & 0xFF);
        }
    }
    velcomp::NumberIndex index;
    velcomp::StoredAdditions additions;
    if (!velcomp::ParseIndex(bytes, index, &additions)) {
        return 0;
    }
    const std::string formatted = velcomp::FormatIndex(index);
    fuzz::Check(additions.applied > 0 || formatted == bytes.substr(0, formatted.size()),
                "an index read back writes the same bytes", bytes);
    velcomp::NumberIndex again;
    fuzz::Check(velcomp::ParseIndex(formatted, again) && velcomp::FormatIndex(again) == formatted,
                "what it writes reads back to the same", bytes);
    const velcomp::Carried carried = velcomp::CarriedNumbers(index, 7, 1);
    fuzz::Check(!carried.any || velcomp::NumbersOf(index, 7).count(carried.highest) == 1,
                "the highest number carried is one of the numbers", bytes);
    return 0;
}
