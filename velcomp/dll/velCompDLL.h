// The seven calls of velCompDLL.dll: C linkage, cdecl, 8-bit NUL-terminated texts.
#pragma once

#ifdef VELCOMP_BUILDING_DLL
#define VELCOMP_EXPORT __declspec(dllexport)
#else
#define VELCOMP_EXPORT __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

VELCOMP_EXPORT void __cdecl InitVEL(void);
// The author's creator identifier, read afresh; 0 when none is configured.
VELCOMP_EXPORT int __cdecl GetMyKUID(void);
VELCOMP_EXPORT void __cdecl ClosePackage(void);
VELCOMP_EXPORT void __cdecl CreatePackage(const char* name);
VELCOMP_EXPORT void __cdecl SetStringData(const char* key, const char* value);
// `classCode` may be null; on failure `errorText` (256 bytes) receives the reason.
VELCOMP_EXPORT bool __cdecl AddToPackageSpecial(const char* source, const char* name,
                                                const char* description, const char* classCode,
                                                char* errorText);
// `destination` ends in a backslash; the asset goes to destination + name.
VELCOMP_EXPORT bool __cdecl ExtractFromPackage(const char* destination, const char* name);

// Beyond the seven: why the current package's most recent add or write-out failed, cut to
// `size` - 1 bytes and terminated; the empty text when none has. Callers look it up with
// GetProcAddress, since other libraries of this name lack it.
VELCOMP_EXPORT void __cdecl GetLastPackageError(char* text, int size);

#ifdef __cplusplus
}
#endif
