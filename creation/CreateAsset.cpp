#include "creation/CreateAsset.h"

#include "catalogue/ClassTable.h"
#include "contract/PackageFiles.h"
#include "creation/CodePageText.h"
#include "creation/Locations.h"
#include "creation/Messages.h"
#include "creation/NameCheck.h"
#include "names/AssetName.h"

namespace kitwright {
namespace {

constexpr char kPreviewFile[] = "\\main.bmp";

// What one Create works with, gathered once the class row is known.
struct Job {
    Platform& platform;
    PackageLibrary& library;
    CreationForm& form;
    const ClassRow& row;
    std::wstring typedName;
    std::string name;  // typedName in the code page
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
    job.platform.ShowMessage(messages::ErrorAdding(job.platform, source, errorText));
    return false;
}

// Says what a failed write-out left: nothing at all, or a folder without its config.txt.
void ReportNotWritten(Job& job) {
    const std::string reason = job.library.LastPackageError();
    if (job.platform.PathExists(job.assetFolder)) {
        job.platform.ShowMessage(messages::NotComplete(job.platform, job.assetFolder, reason));
        return;
    }
    job.platform.ShowMessage(
        messages::NothingWritten(job.platform, job.assetFolder, job.destination, reason));
}

// An asset folder counts as written only once it holds its config.txt.
WriteResult ExtractAndConfirm(Job& job) {
    job.library.ExtractFromPackage(job.destination.c_str(), job.name.c_str());
    if (job.platform.PathExists(job.assetFolder + "\\" + contract::kConfigFileName)) {
        return WriteResult::kWritten;
    }
    ReportNotWritten(job);
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
    job.platform.ShowMessage(messages::StockModel(job.platform, missing));
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

// The refusals of the Name end in "Nothing was created", but for the one that the original
// tool already gave in its own words.
void RefuseName(Platform& platform, CreationForm& form, const std::wstring& problem) {
    platform.ShowMessage(problem == messages::AssetExists() ? problem
                                                           : problem + messages::kNothingCreated);
    form.ReturnToName();
}

// The checks made before anything is stored; false leaves the dialog open.
bool MayCreate(Job& job) {
    if (job.installRoot.empty() || !job.platform.PathExists(job.installRoot)) {
        job.platform.ShowMessage(messages::HostNotFound(job.platform, job.installRoot));
        return false;
    }
    if (!names::FitsWindowsPath(job.destination)) {
        job.platform.ShowMessage(messages::PathTooLong(job.platform, job.destination) +
                                 messages::kNothingCreated);
        return false;
    }
    const std::wstring problem =
        NameProblem(job.platform, job.destination, job.typedName, job.name);
    if (!problem.empty()) {
        RefuseName(job.platform, job.form, problem);
        return false;
    }
    return true;
}

// The fields in the code page, or false when a character would not survive the trip: the
// author is told which, before anything reaches the library.
bool ConvertFields(Platform& platform, CreationForm& form, const std::wstring& name,
                   const std::wstring& description, CodePageText& nameBytes,
                   CodePageText& descriptionBytes) {
    nameBytes = ToCodePageExactly(platform, name);
    if (!nameBytes.exact()) {
        RefuseName(platform, form, messages::NameUnstorable(platform, name, nameBytes.unstorable));
        return false;
    }
    descriptionBytes = ToCodePageExactly(platform, description);
    if (!descriptionBytes.exact()) {
        platform.ShowMessage(
            messages::DescriptionUnstorable(platform, descriptionBytes.unstorable));
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
    std::wstring typedName = form.NameText();
    const std::wstring typedDescription = form.DescriptionText();
    CodePageText name;
    CodePageText description;
    if (!ConvertFields(platform, form, typedName, typedDescription, name, description)) {
        return CreateOutcome::kStayOpen;
    }

    const int index = FindClassRow(label);
    if (index < 0) {
        // The list holds only catalogue labels, so this is the program's own fault: the run
        // ends, as the original tool's did, rather than create into an unknown folder.
        platform.ShowMessage(messages::kNoClass);
        return CreateOutcome::kClose;
    }
    library.ClosePackage();
    library.CreatePackage("");

    const ClassRow& row = ClassRowAt(index);
    std::string installRoot = InstallRoot(platform);
    std::string destination = DestinationFolder(installRoot, row);
    std::string assetFolder = destination + name.bytes;
    Job job{platform,
            library,
            form,
            row,
            std::move(typedName),
            std::move(name.bytes),
            std::move(description.bytes),
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
