#include "velcomp/Library.h"

#include "velcomp/AssetWriter.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/os/FileSystem.h"

namespace velcomp {

std::int32_t Library::CreatorKuid() {
    return ReadCreatorKuid(settings_);
}

void Library::CreatePackage(std::string_view name) {
    package_.emplace(std::string(name));
    lastError_.clear();
    lastNote_.clear();
}

void Library::ClosePackage() {
    package_.reset();
    lastError_.clear();
    lastNote_.clear();
}

void Library::SetStringData(std::string_view key, std::string_view value) {
    if (package_) {
        package_->SetString(key, value);
    }
}

Result Library::AddToPackage(const AssetRequest& request) {
    if (!package_) {
        return Result::Failure("There is no open package to add the asset to.");
    }
    Asset asset;
    Result built = BuildAsset(request, settings_, asset);
    if (built) {
        package_->Put(std::move(asset));
    }
    return Remember(std::move(built));
}

Result Library::ExtractFromPackage(std::string_view destination, std::string_view name) {
    const Asset* asset = package_ ? package_->Find(name) : nullptr;
    if (asset == nullptr) {
        return Remember(Result::Failure("The package holds no asset of that name."));
    }
    if (destination.empty()) {
        // An empty destination would put the asset wherever the program happens to run.
        return Remember(
            Result::Failure("No destination folder was given, so nothing was written."));
    }
    return Remember(
        WriteAsset(*asset, package_->ConfigFor(*asset), PathFromText(destination), settings_));
}

Result Library::Remember(Result result) {
    if (!result && package_) {
        lastError_ = result.message();
    }
    if (package_) {
        lastNote_ = result ? result.message() : std::string();
    }
    return result;
}

}  // namespace velcomp
