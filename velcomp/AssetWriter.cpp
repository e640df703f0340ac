#include "velcomp/AssetWriter.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "velcomp/AssetBuilder.h"
#include "velcomp/MessageText.h"
#include "velcomp/platform/Platform.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

// Remembers what a write created and removes it unless the write is kept.
class Undo {
public:
    Undo() = default;
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;
    ~Undo() {
        if (kept_) {
            return;
        }
        std::error_code ignored;
        for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
            fs::remove(*it, ignored);
        }
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
            fs::remove(*it, ignored);  // only while empty: never an author's content
        }
    }

    void AddFile(const fs::path& file) { files_.push_back(file); }
    void AddFolder(const fs::path& folder) { folders_.push_back(folder); }
    void Keep() { kept_ = true; }

private:
    std::vector<fs::path> files_;
    std::vector<fs::path> folders_;
    bool kept_ = false;
};

Result Failure(const std::string& what, const fs::path& path, const std::error_code& error) {
    return Result::Failure(what + " " + Quote(TextFromPath(path)) + " (" + error.message() + ").");
}

// Creates `folder` and its missing parents, outermost first.
Result MakeFolders(const fs::path& folder, Undo& undo) {
    std::vector<fs::path> missing;
    for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
        std::error_code error;
        const fs::file_status status = fs::status(at, error);
        if (fs::is_directory(status)) {
            break;
        }
        if (status.type() != fs::file_type::not_found) {
            return Failure("Cannot make the folder", at,
                           error ? error : std::make_error_code(std::errc::not_a_directory));
        }
        missing.push_back(at);
        if (at == at.parent_path()) {
            break;
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        std::error_code error;
        if (fs::create_directory(*it, error)) {
            undo.AddFolder(*it);
        } else if (error) {
            return Failure("Cannot make the folder", *it, error);
        }
    }
    return Result::Success();
}

// Copies one file unless something of that name is already there.
Result CopyNew(const fs::path& from, const fs::path& to, Undo& undo) {
    std::error_code error;
    if (fs::copy_file(from, to, fs::copy_options::none, error)) {
        undo.AddFile(to);
        return Result::Success();
    }
    if (error == std::errc::file_exists) {
        return Result::Success();  // the author's file stays as it is
    }
    // The copy refuses to touch an existing file, so a file there now is a part of ours.
    std::error_code ignored;
    if (fs::is_regular_file(fs::symlink_status(to, ignored))) {
        fs::remove(to, ignored);
    }
    return Failure("Cannot copy", from, error);
}

// Writes config.txt under a temporary name and then renames it into place.
Result WriteConfig(const ConfigFile& config, const fs::path& folder, Undo& undo) {
    // Distinct names, so that two programs writing one folder do not share a temporary file.
    static std::atomic<unsigned> writes{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path temporary =
        folder / ("config.txt.writing-" + std::to_string(stamp) + "-" + std::to_string(writes++));
    const fs::path final = folder / kConfigFileName;
    undo.AddFile(temporary);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << config.Format();
    out.close();
    if (!out) {
        return Failure("Cannot write", temporary, std::make_error_code(std::errc::io_error));
    }
    const std::error_code error = MoveWithoutReplacing(temporary, final);
    return error ? Failure("Cannot write", final, error) : Result::Success();
}

}  // namespace

Result WriteAsset(const Asset& asset, const ConfigFile& config, const fs::path& folder) {
    Undo undo;
    std::error_code error;
    if (fs::symlink_status(folder / kConfigFileName, error).type() != fs::file_type::not_found) {
        return Result::Failure("An asset is already there: " + Quote(TextFromPath(folder)) + ".");
    }
    Result result = MakeFolders(folder, undo);
    fs::path madeFolder = folder;  // files come sorted, so each folder is made once
    for (auto file = asset.files.begin(); result && file != asset.files.end(); ++file) {
        const fs::path target = folder / *file;
        if (target.parent_path() != madeFolder) {
            madeFolder = target.parent_path();
            result = MakeFolders(madeFolder, undo);
        }
        if (result) {
            result = CopyNew(asset.source / *file, target, undo);
        }
    }
    if (result) {
        result = WriteConfig(config, folder, undo);
    }
    if (result) {
        undo.Keep();
    }
    return result;
}

}  // namespace velcomp
