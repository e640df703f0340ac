#include "velcomp/MessageText.h"

#include <algorithm>
#include <cstring>

#include "velcomp/platform/FileSystem.h"

namespace velcomp {
namespace {

constexpr std::size_t kHead = 24;
constexpr std::size_t kTail = 56;

}  // namespace

std::string Quote(std::string_view text) {
    if (text.size() <= kHead + kTail + 3) {
        return "\"" + std::string(text) + "\"";
    }
    return "\"" + std::string(text.substr(0, kHead)) + "..." +
           std::string(text.substr(text.size() - kTail)) + "\"";
}

std::string QuotePath(const std::filesystem::path& path) {
    return Quote(TextFromPath(path));
}

Result PathFailure(const std::string& what, const std::filesystem::path& path,
                   const std::error_code& error) {
    return Result::Failure(what + " " + QuotePath(path) + " (" + DescribeError(error) + ").");
}

void CopyMessage(std::string_view message, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const std::size_t length = std::min(message.size(), size - 1);
    std::memcpy(buffer, message.data(), length);
    buffer[length] = '\0';
}

}  // namespace velcomp
