// Rules for an asset name: a relative folder path that Windows keeps exactly as written.
#pragma once

#include <string_view>

#include "velcomp/Result.h"

namespace velcomp {

// Endings of the working items that the library keeps beside an asset folder while it
// writes one; no folder of an asset name may end in them (ASCII case-insensitive).
inline constexpr char kStagingSuffix[] = ".velcomp-staging";
inline constexpr char kLockSuffix[] = ".velcomp-lock";

// Success when `name` is one or more folder names joined by backslashes, each of which
// Windows stores unchanged inside the destination folder; otherwise says what is wrong.
// Checked on the platform's own path characters, so that a double-byte code page is
// judged after conversion, not byte by byte.
template <class CharT>
Result CheckAssetName(std::basic_string_view<CharT> name);

extern template Result CheckAssetName<char>(std::string_view);
extern template Result CheckAssetName<wchar_t>(std::wstring_view);

}  // namespace velcomp
