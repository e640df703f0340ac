// Binds the asset-creation core to the library that the program is linked with.
#pragma once

#include "creation/PackageLibrary.h"

namespace kitwright {

class DllPackageLibrary : public PackageLibrary {
public:
    void InitVEL() override;
    int GetMyKUID() override;
    void ClosePackage() override;
    void CreatePackage(const char* name) override;
    void SetStringData(const char* key, const char* value) override;
    bool AddToPackageSpecial(const char* source, const char* name, const char* description,
                             const char* classCode, char* errorText) override;
    void ExtractFromPackage(const char* destination, const char* name) override;
    // Looked up by name, as the host's own library has no such call.
    std::string LastPackageError() override;
    std::string LastPackageNote() override;
};

}  // namespace kitwright
