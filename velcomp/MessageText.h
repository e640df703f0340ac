// Pieces of the messages that reach the author through a 256-byte buffer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velcomp {

// The text in quotes; a long one keeps its start and end around "...", so that a message
// still fits its buffer and shows what matters.
std::string Quote(std::string_view text);

// Copies `message` into a buffer of `size` bytes, cut short if need be, always terminated.
void CopyMessage(std::string_view message, char* buffer, std::size_t size);

}  // namespace velcomp
