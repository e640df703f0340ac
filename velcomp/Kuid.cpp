#include "velcomp/Kuid.h"

#include <charconv>

#include "names/AssetName.h"

namespace velcomp {
namespace {

// Takes "<tag>:" from the front of `text`, the tag in any case.
bool TakeTag(std::string_view& text, std::string_view tag) {
    if (text.size() <= tag.size() || text[tag.size()] != ':' ||
        !names::SameIgnoringAsciiCase(text.substr(0, tag.size()), tag)) {
        return false;
    }
    text.remove_prefix(tag.size() + 1);
    return true;
}

// Reads `count` whole numbers joined by ':', which must make up all of `text`.
bool TakeNumbers(std::string_view text, std::int64_t* numbers, int count) {
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (at == end || *at++ != ':')) {
            return false;
        }
        const auto [next, error] = std::from_chars(at, end, numbers[i]);
        if (error != std::errc() || (i > 0 && *at == '-')) {
            return false;
        }
        at = next;
    }
    return at == end;
}

}  // namespace

std::string KuidText(std::int32_t creator, std::int32_t number) {
    return "<kuid:" + std::to_string(creator) + ":" + std::to_string(number) + ">";
}

std::optional<Kuid> ReadKuid(std::string_view text) {
    if (!text.empty() && text.front() == '<') {
        if (text.size() < 2 || text.back() != '>') {
            return std::nullopt;
        }
        text = text.substr(1, text.size() - 2);
    }
    std::int64_t numbers[3] = {};
    if (TakeTag(text, "kuid2")) {
        return TakeNumbers(text, numbers, 3) ? std::optional<Kuid>({numbers[0], numbers[1]})
                                             : std::nullopt;
    }
    if (!TakeTag(text, "kuid")) {
        return std::nullopt;
    }
    if (TakeNumbers(text, numbers, 1)) {
        return Kuid{numbers[0], std::nullopt};
    }
    return TakeNumbers(text, numbers, 2) ? std::optional<Kuid>({numbers[0], numbers[1]})
                                         : std::nullopt;
}

}  // namespace velcomp
