#include "velcomp/MessageText.h"

#include <algorithm>
#include <cstring>

#include "names/AssetName.h"
#include "velcomp/os/FileSystem.h"

namespace velcomp {
namespace {

constexpr std::size_t kHead = 24;
constexpr std::size_t kTail = 56;
constexpr char kCut[] = "...";
constexpr std::size_t kCutLength = sizeof kCut - 1;
// Below this, a cut message keeps only its start: too little would be left of either end.
constexpr std::size_t kShortestCut = 32;

// The longest start of `text` of at most `size` bytes that ends between two characters.
std::string_view Head(std::string_view text, std::size_t size) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + CharacterSize(text, end);
        if (next > size) {
            break;
        }
        end = next;
    }
    return text.substr(0, end);
}

// The longest end of `text` of at most `size` bytes that starts at a character. A double-byte
// code page can only be read forwards: a trail byte may look like any other.
std::string_view Tail(std::string_view text, std::size_t size) {
    std::size_t start = 0;
    while (start < text.size() && text.size() - start > size) {
        start += CharacterSize(text, start);
    }
    return text.substr(start);
}

// `text` with its middle taken out, keeping at most `head` and `tail` bytes of its ends.
std::string Shortened(std::string_view text, std::size_t head, std::size_t tail) {
    return std::string(Head(text, head)) + kCut + std::string(Tail(text, tail));
}

}  // namespace

std::string Quote(std::string_view text) {
    if (text.size() <= kHead + kTail + 3) {
        return "\"" + std::string(text) + "\"";
    }
    return "\"" + Shortened(text, kHead, kTail) + "\"";
}

std::string QuotePath(const std::filesystem::path& path) {
    return Quote(TextFromPath(path));
}

Result PathFailure(const std::string& what, const std::filesystem::path& path,
                   const std::error_code& error) {
    return Result::Failure(what + " " + QuotePath(path) + " (" + DescribeError(error) + ").");
}

Result InTheWay(const std::string& what, const std::filesystem::path& path) {
    return Result::Failure(what + " " + QuotePath(path) +
                           ": something of that name is in the way.");
}

std::string CutMiddle(std::string_view text, std::size_t size) {
    if (text.size() <= size) {
        return std::string(text);
    }
    if (size < kShortestCut) {
        return std::string(Head(text, size));
    }
    const std::size_t head = (size - kCutLength) / 3;
    return Shortened(text, head, size - kCutLength - head);
}

std::string JoinMessages(std::string_view first, std::string_view second) {
    if (first.empty() || second.empty()) {
        return CutMiddle(std::string(first) + std::string(second), kMaxMessageLength);
    }
    const std::size_t room =
        kMaxMessageLength > second.size() + 1 ? kMaxMessageLength - second.size() - 1 : 0;
    const std::string joined =
        CutMiddle(first, std::max(room, kShortestCut)) + " " + std::string(second);
    return CutMiddle(joined, kMaxMessageLength);
}

Result AssetThere(const std::filesystem::path& folder) {
    return Result::Failure(std::string(names::kAssetExists) + " It is in " + QuotePath(folder) +
                           ".");
}

void CopyMessage(std::string_view message, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const std::string fitted = CutMiddle(message, size - 1);
    std::memcpy(buffer, fitted.data(), fitted.size());
    buffer[fitted.size()] = '\0';
}

}  // namespace velcomp
