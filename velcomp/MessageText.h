// Pieces of the messages that reach the author through a 256-byte buffer.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "velcomp/Result.h"

namespace velcomp {

// The text in quotes; a long one keeps its start and end around "...", so that a message
// still fits its buffer and shows what matters.
std::string Quote(std::string_view text);

// A path in quotes, as the author's system spells it.
std::string QuotePath(const std::filesystem::path& path);

// "<what> "<path>" (<the system's reason>)."
Result PathFailure(const std::string& what, const std::filesystem::path& path,
                   const std::error_code& error);

// "<what> "<path>": something of that name is in the way." for an entry of the wrong kind
// (a file where a folder must go, or the other way round).
Result InTheWay(const std::string& what, const std::filesystem::path& path);

// The most a message to the author holds: the 256-byte buffer less its terminator.
inline constexpr std::size_t kMaxMessageLength = 255;

// `text` cut to `size` bytes by taking out its middle, so that its start and its end (where
// a message names what the author must do, and where) both stay.
std::string CutMiddle(std::string_view text, std::size_t size);

// Two messages as one that fits kMaxMessageLength: the first is cut in its middle to make
// room, the second kept whole.
std::string JoinMessages(std::string_view first, std::string_view second);

// An asset already in `folder`: the name rules' own words, then where it is.
Result AssetThere(const std::filesystem::path& folder);

// Copies `message` into a buffer of `size` bytes, cut in its middle if need be, always
// terminated.
void CopyMessage(std::string_view message, char* buffer, std::size_t size);

}  // namespace velcomp
