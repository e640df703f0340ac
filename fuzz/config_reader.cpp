// The config.txt reader on any bytes: it never crashes, a refused text changes nothing, and
// an accepted one is written back as text that reads as the same entries and that formats
// to the same text again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "velcomp/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    velcomp::ConfigFile config;
    config.Set("fuzz.kept", "yes");
    if (!config.Parse(text).ok()) {
        const std::string* kept = config.Find("fuzz.kept");
        fuzz::Check(config.EntryCount() == 1 && kept != nullptr && *kept == "yes",
                    "a refused text leaves the content alone", text);
        return 0;
    }

    const std::string formatted = config.Format();
    velcomp::ConfigFile again;
    fuzz::Check(again.Parse(formatted).ok(), "formatted text parses", text);
    fuzz::Check(again.Format() == formatted, "formatting the reread text gives the same text",
                text);
    fuzz::Check(again.EntryCount() == config.EntryCount(), "the reread text has as many entries",
                text);
    const auto keys = fuzz::FormattedKeys(formatted);
    fuzz::Check(keys.size() == config.EntryCount(), "every entry is one line", text);
    for (const std::string& key : keys) {
        const std::string* before = config.Find(key);
        const std::string* after = again.Find(key);
        fuzz::Check(before != nullptr && after != nullptr && *before == *after,
                    "every entry reads back with its value", text);
    }
    return 0;
}
