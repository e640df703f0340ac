// Rules for an asset name: a relative folder path that Windows keeps exactly as written.
// Kitwright judges a typed Name with them and the content-package library every name it is
// given, so both refuse the same names in the same words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace names {

// What the rules say of a name: nothing when Windows keeps it, otherwise why not.
class Verdict {
public:
    Verdict() = default;
    explicit Verdict(std::string problem) : problem_(std::move(problem)) {}

    bool ok() const { return problem_.empty(); }
    explicit operator bool() const { return ok(); }
    // Why the name cannot be used, in words that follow "cannot be used: ".
    const std::string& message() const { return problem_; }

private:
    std::string problem_;
};

// Endings of the working items that the library keeps beside an asset folder while it
// writes one; no folder of an asset name may end in them (ASCII case-insensitive).
inline constexpr char kStagingSuffix[] = ".velcomp-staging";
inline constexpr char kLockSuffix[] = ".velcomp-lock";

// How many names each working item may take: <name>.velcomp-lock, then <name>.1.velcomp-lock
// up to <name>.3.velcomp-lock, when an item of the author's has the name before.
inline constexpr int kWorkingSlots = 4;

// The refusals that need the disk, which Kitwright and the library both make, in one
// wording: an asset already in the folder, and a name that Windows takes for another name
// (an 8.3 short name) of an existing folder, followed by that folder.
inline constexpr char kAssetExists[] = "Asset already exists, please use another name.";
inline constexpr char kAliasReason[] = "Windows takes it for another name of the folder";

// The longest path that Windows accepts without special prefixes, in characters, the
// terminator aside: the program's path buffers hold 260 bytes.
inline constexpr std::size_t kMaxPathLength = 259;

inline bool FitsWindowsPath(std::string_view path) {
    return path.size() <= kMaxPathLength;
}

// A character with an ASCII letter in upper case, as Windows compares names in a folder;
// any other character as it is. For bytes and UTF-16 units alike.
template <class CharT>
constexpr CharT AsciiUpper(CharT c) {
    return (c >= CharT('a') && c <= CharT('z')) ? CharT(c - CharT('a') + CharT('A')) : c;
}

// Whether two texts are the same but for the case of ASCII letters.
inline bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

// Windows' limit on one folder name, in characters (UTF-16 units for the wide form).
inline constexpr std::size_t kMaxFolderNameLength = 255;

// The last folder name of an asset name leaves room for the longest working item named
// after it (".3.velcomp-staging") within Windows' limit.
inline constexpr std::size_t kMaxLastFolderNameLength =
    kMaxFolderNameLength - (sizeof(".3") - 1) - (sizeof(kStagingSuffix) - 1);

// Success when `name` is one or more folder names joined by backslashes, each of which
// Windows stores unchanged inside the destination folder; otherwise says what is wrong.
// Checked on the platform's own path characters, so that a double-byte code page is
// judged after conversion, not byte by byte.
template <class CharT>
Verdict CheckAssetName(std::basic_string_view<CharT> name);

extern template Verdict CheckAssetName<char>(std::string_view);
extern template Verdict CheckAssetName<wchar_t>(std::wstring_view);

// Success when Windows can keep `name` as the name of a file or folder copied from a source
// folder; otherwise says why not ("it is a device name that Windows reserves ...").
template <class CharT>
Verdict CheckSourceEntryName(std::basic_string_view<CharT> name);

extern template Verdict CheckSourceEntryName<char>(std::string_view);
extern template Verdict CheckSourceEntryName<wchar_t>(std::wstring_view);

}  // namespace names
