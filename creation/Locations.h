// Where the host, the repaint tool and this program live.
#pragma once

#include <string>

#include "creation/Platform.h"

namespace kitwright {

using PathBuffer = char[kPathBufferSize];

inline constexpr char kInstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\railvane.exe";
inline constexpr char kLiveryLoftKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Railvane Livery Loft.exe";
inline constexpr char kPathValue[] = "Path";

// Reads the host's install root into `buffer`: the first entry of the "Path" list, minus
// one trailing backslash. A missing
// or oversized value leaves the buffer as it was, so callers clear it first.
// Always true, as the look-up has always answered: callers act on the buffer's text alone,
// the start-up and Create alike, so "found" has no second meaning to keep in step.
bool GetInstallPath(Platform& platform, PathBuffer& buffer);
// The same for the repaint tool Railvane Livery Loft.
bool GetLiveryLoftPath(Platform& platform, PathBuffer& buffer);
// Full file name of the running program.
std::string GetProgramPath(Platform& platform);
// `programPath` up to, not including, its last backslash; empty when it has none. A
// backslash is a character of its own, never the second byte of another.
std::string FolderOf(Platform& platform, const std::string& programPath);

}  // namespace kitwright
