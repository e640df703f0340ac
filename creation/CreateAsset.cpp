#include "creation/CreateAsset.h"

#include "catalogue/ClassTable.h"
#include "creation/Locations.h"
#include "creation/PathRules.h"
#include "velcomp/AssetName.h"

namespace kitwright {
namespace {

constexpr char kNoClassMessage[] = "Fatal Error!\n\nCould not find internal class!";
constexpr char kAssetExistsMessage[] = "Asset already exists, please use another name.";
constexpr char kConfigFile[] = "\\config.txt";
constexpr char kPreviewFile[] = "\\main.bmp";
constexpr char kNothingCreated[] = " Nothing was created.";

std::string PathTooLongMessage(const std::string& path) {
    return "This path is longer than the " + std::to_string(kMaxPathLength) +
           " characters that Windows allows:\n\n" + path +
           "\n\nPlease choose a shorter name. Nothing was created.";
}

std::string NotWrittenMessage(const std::string& assetFolder, const std::string& reason) {
    const std::string text = "The asset could not be written:\n\n" + assetFolder +
                             "\n\nThe folder holds no config.txt, so the asset is not complete.";
    return reason.empty() ? text : text + "\n\nThe library gives the reason: " + reason;
}

std::string HostNotFoundMessage(const std::string& installRoot) {
    if (installRoot.empty()) {
        return std::string(
                   "Railvane was not found: its App Paths entry (railvane.exe) is missing "
                   "or names no folder, so there is nowhere to put the asset.\n\nInstall "
                   "Railvane, then press Create again.") +
               kNothingCreated;
    }
    return "Railvane was not found in\n\n" + installRoot +
           "\n\nthe folder that its App Paths entry names. Install Railvane there, or correct "
           "the entry, then press Create again." +
           kNothingCreated;
}

std::string NameRefusedMessage(const std::string& name, const std::string& reason) {
    return "The name \"" + name + "\" cannot be used: " + reason +
           ".\n\nUse a name such as Shop, or folders separated by backslashes such as "
           "Shops\\Corner." +
           kNothingCreated;
}

std::string AliasMessage(const std::string& name, const std::string& folder,
                         const std::string& stored) {
    return "The name \"" + name +
           "\" cannot be used: Windows takes it for another name of the folder\n\n" + folder +
           stored + "\n\nPlease choose another name." + kNothingCreated;
}

std::string StockModelMessage(const std::string& missing) {
    const std::string start = "Repaints are made from the stock models of Railvane Livery Loft";
    if (missing.empty()) {
        return start +
               ", which was not found: its App Paths entry (Railvane Livery Loft.exe) is missing "
               "or names no folder.\n\nInstall Railvane Livery Loft, then press Create again." +
               kNothingCreated;
    }
    return start + ", but this folder is missing:\n\n" + missing +
           "\n\nReinstall Railvane Livery Loft, then press Create again." + kNothingCreated;
}

// What one Create works with, gathered once the class row is known.
struct Job {
    Platform& platform;
    PackageLibrary& library;
    const ClassRow& row;
    std::string name;
    std::string description;
    std::string installRoot;
    std::string destination;  // ends in a backslash
    std::string assetFolder;  // destination + name
    bool hadPreview = false;  // a main.bmp of the author's was there before the write-out
};

enum class WriteResult { kWritten, kAddFailed, kNotWritten, kRefused };

// Adds the source folder to the package; a failure is reported with the library's text.
bool AddSource(Job& job, const std::string& source, const char* classCode) {
    char errorText[kErrorTextSize] = {};
    if (job.library.AddToPackageSpecial(source.c_str(), job.name.c_str(), job.description.c_str(),
                                        classCode, errorText)) {
        return true;
    }
    errorText[kErrorTextSize - 1] = '\0';  // never trust the library to terminate
    job.platform.ShowMessage("Error Adding: " + source + "\n\n" + errorText);
    return false;
}

// An asset folder counts as written only once it holds its config.txt.
WriteResult ExtractAndConfirm(Job& job) {
    job.library.ExtractFromPackage(job.destination.c_str(), job.name.c_str());
    if (job.platform.PathExists(job.assetFolder + kConfigFile)) {
        return WriteResult::kWritten;
    }
    job.platform.ShowMessage(NotWrittenMessage(job.assetFolder, job.library.LastPackageError()));
    return WriteResult::kNotWritten;
}

// A repaint needs the repaint tool, its folder, the model's folder and its train folder:
// the message names the first one missing.
bool HasStockModel(Job& job, const std::string& root, const std::string& skinFolder) {
    std::string missing;
    if (!root.empty()) {
        for (const std::string& folder : {root, skinFolder, skinFolder + "\\train"}) {
            if (!job.platform.PathExists(folder)) {
                missing = folder;
                break;
            }
        }
        if (missing.empty()) {
            return true;
        }
    }
    job.platform.ShowMessage(StockModelMessage(missing));
    return false;
}

WriteResult BuildFromSkin(Job& job) {
    PathBuffer repaintRoot = {};
    GetLiveryLoftPath(job.platform, repaintRoot);
    const std::string skinFolder = std::string(repaintRoot) + "\\skins\\" + ModelName(job.row);
    if (!HasStockModel(job, repaintRoot, skinFolder)) {
        return WriteResult::kRefused;
    }
    if (!AddSource(job, skinFolder + "\\train\\", nullptr)) {
        return WriteResult::kAddFailed;
    }
    const WriteResult result = ExtractAndConfirm(job);
    // The model's preview replaces one that the write-out brought, never the author's own.
    if (result == WriteResult::kWritten && !job.hadPreview) {
        job.platform.CopyFileReplacing(skinFolder + kPreviewFile, job.assetFolder + kPreviewFile);
    }
    return result;
}

WriteResult BuildFromTemplate(Job& job) {
    const std::string programFolder = FolderOf(job.platform, GetProgramPath(job.platform));
    const std::string source = programFolder + "\\templates\\" + job.row.templateName + "\\";
    const std::string classCode = ClassCode(job.row);
    if (!AddSource(job, source, classCode.c_str())) {
        // Written out even so, as the original tool did: the host's library may have stored
        // part of the folder before it failed, and what it writes is its own decision.
        job.library.ExtractFromPackage(job.destination.c_str(), job.name.c_str());
        return WriteResult::kAddFailed;
    }
    return ExtractAndConfirm(job);
}

// The install root, read afresh at every Create.
std::string InstallRoot(Platform& platform) {
    PathBuffer installRoot = {};
    GetInstallPath(platform, installRoot);
    return installRoot;
}

// Why Windows cannot use the name, judged by character; empty when it can. An existing
// folder on the way must be known by the very name typed, not be another name for one.
std::string NameProblem(Job& job) {
    const std::wstring wide = job.platform.WideText(job.name);
    const velcomp::Result check = velcomp::CheckAssetName(std::wstring_view(wide));
    if (!check) {
        return NameRefusedMessage(job.name, check.message());
    }
    std::string folder = job.destination;
    for (std::size_t start = 0; start <= job.name.size();) {
        const std::size_t end = NextBackslash(job.platform, job.name, start);
        const std::string part = job.name.substr(start, end - start);
        const std::string stored = job.platform.StoredNameIfOther(folder + part);
        if (!stored.empty()) {
            return AliasMessage(job.name, folder, stored);
        }
        folder += part + "\\";
        start = end + 1;
    }
    return {};
}

// The checks made before anything is stored; false leaves the dialog open.
bool MayCreate(Job& job) {
    if (job.installRoot.empty() || !job.platform.PathExists(job.installRoot)) {
        job.platform.ShowMessage(HostNotFoundMessage(job.installRoot));
        return false;
    }
    if (!FitsWindowsPath(job.destination)) {
        job.platform.ShowMessage(PathTooLongMessage(job.destination));
        return false;
    }
    if (const std::string problem = NameProblem(job); !problem.empty()) {
        job.platform.ShowMessage(problem);
        return false;
    }
    if (!FitsWindowsPath(job.assetFolder)) {
        job.platform.ShowMessage(PathTooLongMessage(job.assetFolder));
        return false;
    }
    if (job.platform.PathExists(job.assetFolder + kConfigFile)) {
        job.platform.ShowMessage(kAssetExistsMessage);
        return false;
    }
    return true;
}

}  // namespace

bool EnsureCreatorIdentity(PackageLibrary& library, Platform& platform) {
    const int kuid = library.GetMyKUID();
    if (kuid != 0 && kuid != -1) {
        return true;
    }
    platform.Launch(kIdentityTool, "");
    return false;
}

CreateOutcome CreateAsset(Platform& platform, PackageLibrary& library, CreationForm& form) {
    if (!EnsureCreatorIdentity(library, platform)) {
        return CreateOutcome::kStayOpen;
    }
    const std::string label = form.SelectedClassLabel();
    std::string name = form.NameText();
    std::string description = form.DescriptionText();

    const int index = FindClassRow(label);
    if (index < 0) {
        // The list holds only catalogue labels, so this is the program's own fault: the run
        // ends, as the original tool's did, rather than create into an unknown folder.
        platform.ShowMessage(kNoClassMessage);
        return CreateOutcome::kClose;
    }
    library.ClosePackage();
    library.CreatePackage("");

    const ClassRow& row = ClassRowAt(index);
    std::string installRoot = InstallRoot(platform);
    std::string destination = installRoot + "\\World\\Custom\\" + row.category + "\\";
    std::string assetFolder = destination + name;
    Job job{platform,
            library,
            row,
            std::move(name),
            std::move(description),
            std::move(installRoot),
            std::move(destination),
            std::move(assetFolder)};
    if (!MayCreate(job)) {
        return CreateOutcome::kStayOpen;
    }
    if (IsReskinRow(job.row)) {
        job.hadPreview = platform.PathExists(job.assetFolder + kPreviewFile);
    }

    library.SetStringData("description", job.description.c_str());
    const WriteResult result = IsReskinRow(job.row) ? BuildFromSkin(job) : BuildFromTemplate(job);
    if (result == WriteResult::kNotWritten || result == WriteResult::kRefused) {
        return CreateOutcome::kStayOpen;
    }
    platform.Launch(kExplorer, "/e," + job.assetFolder);
    return CreateOutcome::kClose;
}

}  // namespace kitwright
