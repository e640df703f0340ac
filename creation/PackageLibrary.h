// The content-package library as asset creation sees it: the seven calls it makes, and
// one more that only some libraries offer.
#pragma once

#include <string>

#include "contract/PackageFiles.h"

namespace kitwright {

// The buffer that receives the library's message on a failed add.
using contract::kErrorTextSize;

class PackageLibrary {
public:
    virtual ~PackageLibrary() = default;

    virtual void InitVEL() = 0;
    // The author's creator identifier; 0 and -1 mean none is configured.
    virtual int GetMyKUID() = 0;
    virtual void ClosePackage() = 0;
    virtual void CreatePackage(const char* name) = 0;
    virtual void SetStringData(const char* key, const char* value) = 0;
    // `classCode` may be null; `errorText` has kErrorTextSize bytes.
    virtual bool AddToPackageSpecial(const char* source, const char* name, const char* description,
                                     const char* classCode, char* errorText) = 0;
    virtual void ExtractFromPackage(const char* destination, const char* name) = 0;

    // Not one of the seven: why the current package's last add or write-out failed, from
    // a library that offers this beside them; empty from one that does not.
    virtual std::string LastPackageError() = 0;
    // Not one of the seven either: what the last write-out, which succeeded, left for the
    // author to know; empty when nothing, or from a library that does not offer it.
    virtual std::string LastPackageNote() = 0;
};

}  // namespace kitwright
