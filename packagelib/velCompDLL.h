// The exports of the content-package library velCompDLL.dll that this program calls.
// Only these seven names and their documented behaviour are relied on, so the host's
// own library can stand in for ours.
#pragma once

extern "C" {

__declspec(dllimport) void InitVEL(void);
__declspec(dllimport) int GetMyKUID(void);
__declspec(dllimport) void ClosePackage(void);
__declspec(dllimport) void CreatePackage(const char* name);
__declspec(dllimport) void SetStringData(const char* key, const char* value);
// `classCode` may be null; `errorText` points to 256 bytes that receive a message on failure.
__declspec(dllimport) bool AddToPackageSpecial(const char* source, const char* name,
                                               const char* description, const char* classCode,
                                               char* errorText);
__declspec(dllimport) void ExtractFromPackage(const char* destination, const char* name);

}  // extern "C"
