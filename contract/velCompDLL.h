// The contract of the content-package library velCompDLL.dll: its calls, each with C
// linkage and the cdecl convention, taking 8-bit NUL-terminated texts in the ANSI code
// page. Kitwright relies on the first seven and on what this header says of them, and
// on nothing else, so the host's own library can stand in for ours. Our library and the
// tests' stand-in define the calls from this same header.
#pragma once

#ifdef VELCOMP_BUILDING_DLL
#define VELCOMP_API __declspec(dllexport)
#else
#define VELCOMP_API __declspec(dllimport)
#endif

#ifdef __cplusplus
#include "contract/PackageFiles.h"

extern "C" {
#endif

// Called once, after the host installation is found; afterwards the other calls work.
VELCOMP_API void __cdecl InitVEL(void);
// The author's creator identifier; 0 or -1 when none is configured.
VELCOMP_API int __cdecl GetMyKUID(void);
// Closes the current package, if any; harmless when there is none.
VELCOMP_API void __cdecl ClosePackage(void);
// Makes a new, empty package current; Kitwright always passes the empty text.
VELCOMP_API void __cdecl CreatePackage(const char* name);
// Stores a text in the current package under the key.
VELCOMP_API void __cdecl SetStringData(const char* key, const char* value);
// Adds an asset of that name built from the source folder to the current package.
// `classCode` may be null. On failure (false) `errorText`, of contract::kErrorTextSize bytes,
// holds a NUL-terminated message.
VELCOMP_API bool __cdecl AddToPackageSpecial(const char* source, const char* name,
                                             const char* description, const char* classCode,
                                             char* errorText);
// Writes the current package out as the folder destination + name, with the asset's
// config.txt inside; `destination` ends in a backslash. Nothing is returned: a caller
// sees the result in the folder.
VELCOMP_API void __cdecl ExtractFromPackage(const char* destination, const char* name);

// Ours only, so callers look it up with GetProcAddress: why the current package's most
// recent add or write-out failed, cut to `size` - 1 bytes and terminated, or the empty
// text when none has.
VELCOMP_API void __cdecl GetLastPackageError(char* text, int size);

// Ours only, looked up in the same way: what the current package's most recent add or
// write-out that succeeded left for the author to know (files that a write-out finishing
// an interrupted one left as the author had changed them), cut and terminated as above, or
// the empty text.
VELCOMP_API void __cdecl GetLastPackageNote(char* text, int size);

#ifdef __cplusplus
}  // extern "C"
#endif
