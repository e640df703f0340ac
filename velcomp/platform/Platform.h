// The few things that differ between Windows and the native build besides the settings.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace velcomp {

// 8-bit text as the platform spells paths: the ANSI code page widened on Windows, the
// bytes themselves natively.
std::filesystem::path::string_type NativeText(std::string_view text);

// A path from 8-bit text in which a backslash separates folders on every platform.
std::filesystem::path PathFromText(std::string_view text);

// The 8-bit text of a path, for messages; characters the code page lacks become '?'.
std::string TextFromPath(const std::filesystem::path& path);

// Renames a file in one step, failing (and changing nothing) when `to` already exists.
std::error_code MoveWithoutReplacing(const std::filesystem::path& from,
                                     const std::filesystem::path& to);

}  // namespace velcomp
