// Message texts that fit a small screen: a message box is as wide as its longest unbroken
// run of text, and a path or name has no spaces to break at.
#pragma once

#include <string>

namespace kitwright {

// Columns that a quoted name or path may take in a message: about 600 pixels of the
// system's message font, so that a box stays well inside a 1,024-pixel screen.
inline constexpr std::size_t kQuotedColumns = 64;
// Columns of a reason's unbroken run before it is wrapped: a library's reason quotes paths of
// its own, already shortened, which read best whole; about 700 pixels.
inline constexpr std::size_t kReasonColumns = 100;

// How many columns a text takes; East Asian wide characters take two.
std::size_t Columns(const std::wstring& text);

// The text itself when it fits in `columns`; otherwise its start and end joined by "…".
std::wstring ShortenMiddle(const std::wstring& text, std::size_t columns = kQuotedColumns);

// Every run without a blank or a line break that is longer than `columns` gets line breaks,
// so a long text is wrapped, never cut.
std::wstring BreakLongRuns(const std::wstring& text, std::size_t columns = kReasonColumns);

}  // namespace kitwright
