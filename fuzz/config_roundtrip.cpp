// Set, Format and Parse of arbitrary entries: every valid key with any bytes as its value
// reads back byte for byte, in the order the keys were first set.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "velcomp/ConfigFile.h"

namespace {

// A valid key from any bytes: a valid one as it is, any other mapped onto key characters.
std::string KeyFrom(const std::string& bytes) {
    if (velcomp::ConfigFile::IsValidKey(bytes)) {
        return bytes;
    }
    static constexpr std::string_view kKeyChars =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.";
    std::string key;
    for (const char c : bytes) {
        key += kKeyChars[static_cast<unsigned char>(c) % kKeyChars.size()];
    }
    return key.empty() ? "k" : key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    FuzzedDataProvider provider(data, size);
    velcomp::ConfigFile config;
    std::vector<std::pair<std::string, std::string>> expected;
    while (provider.remaining_bytes() > 0 && expected.size() < 64) {
        const std::string key = KeyFrom(provider.ConsumeRandomLengthString(24));
        const std::string value = provider.ConsumeRandomLengthString(1024);
        config.Set(key, value);
        bool replaced = false;
        for (auto& entry : expected) {
            if (entry.first == key) {
                entry.second = value;
                replaced = true;
            }
        }
        if (!replaced) {
            expected.emplace_back(key, value);
        }
    }

    const std::string text = config.Format();
    velcomp::ConfigFile read;
    fuzz::Check(read.Parse(text).ok(), "what Format writes, Parse reads", input);
    fuzz::Check(read.EntryCount() == expected.size(), "every key set is read back", input);
    for (const auto& [key, value] : expected) {
        const std::string* found = read.Find(key);
        fuzz::Check(found != nullptr && *found == value, "every value reads back byte for byte",
                    input);
    }
    const auto keys = fuzz::FormattedKeys(text);
    fuzz::Check(keys.size() == expected.size(), "every entry is one line", input);
    for (std::size_t i = 0; i < keys.size() && i < expected.size(); ++i) {
        fuzz::Check(keys[i] == expected[i].first, "entries keep the order they were set in", input);
    }
    fuzz::Check(read.Format() == text, "the reread entries format to the same text", input);
    return 0;
}
