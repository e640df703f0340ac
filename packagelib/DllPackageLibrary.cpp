#include "packagelib/DllPackageLibrary.h"

#include "packagelib/velCompDLL.h"

namespace kitwright {

static_assert(kErrorTextSize == kVelCompErrorTextSize, "the core's error buffer is the library's");

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

}  // namespace kitwright
