#include "creation/CreateAsset.h"

#include "catalogue/ClassTable.h"
#include "creation/PathRules.h"
#include "creation/Locations.h"

namespace kitwright {
namespace {

constexpr char kNoClassMessage[] = "Fatal Error!\n\nCould not find internal class!";
constexpr char kAssetExistsMessage[] = "Asset already exists, please use another name.";
constexpr char kConfigFile[] = "\\config.txt";
constexpr char kPreviewFile[] = "\\main.bmp";

std::string PathTooLongMessage(const std::string& path) {
    return "This path is longer than the " + std::to_string(kMaxPathLength) +
           " characters that Windows allows:\n\n" + path +
           "\n\nPlease choose a shorter name. Nothing was created.";
}

std::string NameLeavesFolderMessage(const std::string& name, const std::string& destination) {
    return "The name \"" + name + "\" would place the asset outside\n\n" + destination +
           "\n\nUse a plain name such as Shop, or folders separated by backslashes such as "
           "Shops\\Corner. Drives, network paths, a leading backslash and the folders . and .. "
           "are not allowed.";
}

std::string NotWrittenMessage(const std::string& assetFolder) {
    return "The asset could not be written:\n\n" + assetFolder +
           "\n\nThe folder holds no config.txt, so the asset is not complete.";
}

// What one Create works with, gathered once the class row is known.
struct Job {
    Platform& platform;
    PackageLibrary& library;
    const ClassRow& row;
    std::string name;
    std::string description;
    std::string destination;  // ends in a backslash
    std::string assetFolder;  // destination + name
};

enum class WriteResult { kWritten, kAddFailed, kNotWritten };

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
    job.platform.ShowMessage(NotWrittenMessage(job.assetFolder));
    return WriteResult::kNotWritten;
}

WriteResult BuildFromSkin(Job& job) {
    PathBuffer repaintRoot = {};
    GetLiveryLoftPath(job.platform, repaintRoot);
    const std::string skinFolder = std::string(repaintRoot) + "\\skins\\" + ModelName(job.row);
    if (!AddSource(job, skinFolder + "\\train\\", nullptr)) {
        return WriteResult::kAddFailed;
    }
    const WriteResult result = ExtractAndConfirm(job);
    if (result == WriteResult::kWritten) {
        job.platform.CopyFileReplacing(skinFolder + kPreviewFile, job.assetFolder + kPreviewFile);
    }
    return result;
}

WriteResult BuildFromTemplate(Job& job) {
    const std::string programFolder = FolderOf(GetProgramPath(job.platform));
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

// Install root + "\World\Custom\" + category + "\", read afresh at every Create.
std::string DestinationFolder(Platform& platform, const ClassRow& row) {
    PathBuffer installRoot = {};
    GetInstallPath(platform, installRoot);
    return std::string(installRoot) + "\\World\\Custom\\" + row.category + "\\";
}

// The checks made before anything is stored; false leaves the dialog open.
bool MayCreate(Job& job) {
    if (!FitsWindowsPath(job.destination)) {
        job.platform.ShowMessage(PathTooLongMessage(job.destination));
        return false;
    }
    if (!StaysInsideFolder(job.name)) {
        job.platform.ShowMessage(NameLeavesFolderMessage(job.name, job.destination));
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

    Job job{platform, library, ClassRowAt(index), std::move(name), std::move(description), {}, {}};
    job.destination = DestinationFolder(platform, job.row);
    job.assetFolder = job.destination + job.name;
    if (!MayCreate(job)) {
        return CreateOutcome::kStayOpen;
    }

    library.SetStringData("description", job.description.c_str());
    const WriteResult result = IsReskinRow(job.row) ? BuildFromSkin(job) : BuildFromTemplate(job);
    if (result == WriteResult::kNotWritten) {
        return CreateOutcome::kStayOpen;
    }
    platform.Launch(kExplorer, "/e," + job.assetFolder);
    return CreateOutcome::kClose;
}

}  // namespace kitwright
