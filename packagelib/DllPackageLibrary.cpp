#include "packagelib/DllPackageLibrary.h"

#include "contract/velCompDLL.h"

#include <windows.h>

namespace kitwright {

void DllPackageLibrary::InitVEL() {
    ::InitVEL();
}

int DllPackageLibrary::GetMyKUID() {
    return ::GetMyKUID();
}

void DllPackageLibrary::ClosePackage() {
    ::ClosePackage();
}

void DllPackageLibrary::CreatePackage(const char* name) {
    ::CreatePackage(name);
}

void DllPackageLibrary::SetStringData(const char* key, const char* value) {
    ::SetStringData(key, value);
}

bool DllPackageLibrary::AddToPackageSpecial(const char* source, const char* name,
                                            const char* description, const char* classCode,
                                            char* errorText) {
    return ::AddToPackageSpecial(source, name, description, classCode, errorText);
}

void DllPackageLibrary::ExtractFromPackage(const char* destination, const char* name) {
    ::ExtractFromPackage(destination, name);
}

namespace {

// One of our library's texts beyond the seven calls, looked up by name, so that a library
// without it (the host's own) can stand in: then the empty text.
std::string OurLibraryText(const char* call) {
    const HMODULE library = GetModuleHandleA("velCompDLL.dll");
    const auto read = reinterpret_cast<decltype(&::GetLastPackageError)>(
        reinterpret_cast<void*>(GetProcAddress(library, call)));
    if (read == nullptr) {
        return {};
    }
    char text[contract::kErrorTextSize] = {};
    read(text, sizeof text);
    text[sizeof text - 1] = '\0';
    return text;
}

}  // namespace

std::string DllPackageLibrary::LastPackageError() {
    return OurLibraryText("GetLastPackageError");
}

std::string DllPackageLibrary::LastPackageNote() {
    return OurLibraryText("GetLastPackageNote");
}

}  // namespace kitwright
