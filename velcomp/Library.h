// The library as its callers see it: one current package and the author's identity.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "velcomp/AddAsset.h"
#include "velcomp/Package.h"
#include "velcomp/Result.h"
#include "velcomp/SettingsStore.h"

namespace velcomp {

class Library {
public:
    explicit Library(SettingsStore& settings) : settings_(settings) {}

    // The creator identifier as stored now; 0 when none is set.
    std::int32_t CreatorKuid();

    // Makes a new, empty package current, dropping any other.
    void CreatePackage(std::string_view name);
    void ClosePackage();
    bool HasPackage() const { return package_.has_value(); }

    // Ignored without a current package.
    void SetStringData(std::string_view key, std::string_view value);
    Result AddToPackage(const AssetRequest& request);
    // Writes the current package's asset `name` to destination + name; nothing when the
    // package holds no such asset or no destination is given. A success's message is a
    // note for the author (what a recovery left as the author had changed it), or empty.
    Result ExtractFromPackage(std::string_view destination, std::string_view name);
    // Why the current package's most recent add or write-out failed; empty when none has.
    const std::string& LastError() const { return lastError_; }
    // What the current package's most recent add or write-out that succeeded left for the
    // author to know; empty when there is nothing, or it failed.
    const std::string& LastNote() const { return lastNote_; }

private:
    // Keeps a failure's message as the package's last error, a success's as its last note.
    Result Remember(Result result);

    SettingsStore& settings_;
    std::optional<Package> package_;
    std::string lastError_;
    std::string lastNote_;
};

}  // namespace velcomp
