// Rules for an asset name: a relative folder path that Windows keeps exactly as written.
#pragma once

#include <cstddef>
#include <string_view>

#include "velcomp/Result.h"

namespace velcomp {

// Endings of the working items that the library keeps beside an asset folder while it
// writes one; no folder of an asset name may end in them (ASCII case-insensitive).
inline constexpr char kStagingSuffix[] = ".velcomp-staging";
inline constexpr char kLockSuffix[] = ".velcomp-lock";

// How many names each working item may take: <name>.velcomp-lock, then <name>.1.velcomp-lock
// up to <name>.3.velcomp-lock, when an item of the author's has the name before.
inline constexpr int kWorkingSlots = 4;

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
Result CheckAssetName(std::basic_string_view<CharT> name);

extern template Result CheckAssetName<char>(std::string_view);
extern template Result CheckAssetName<wchar_t>(std::wstring_view);

// Success when Windows can keep `name` as the name of a file or folder copied from a source
// folder; otherwise says why not ("it is a device name that Windows reserves ...").
template <class CharT>
Result CheckSourceEntryName(std::basic_string_view<CharT> name);

extern template Result CheckSourceEntryName<char>(std::string_view);
extern template Result CheckSourceEntryName<wchar_t>(std::wstring_view);

}  // namespace velcomp
