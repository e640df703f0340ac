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

std::string DllPackageLibrary::LastPackageError() {
    const HMODULE library = GetModuleHandleA("velCompDLL.dll");
    const auto lastError = reinterpret_cast<decltype(&::GetLastPackageError)>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetLastPackageError")));
    if (lastError == nullptr) {
        return {};
    }
    char text[contract::kErrorTextSize] = {};
    lastError(text, sizeof text);
    text[sizeof text - 1] = '\0';
    return text;
}

}  // namespace kitwright
