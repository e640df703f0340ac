#include "creation/CreateAsset.h"

#include "catalogue/ClassTable.h"
#include "contract/PackageFiles.h"
#include "creation/Locations.h"
#include "creation/Messages.h"
#include "creation/Refusals.h"

namespace kitwright {
namespace {

constexpr char kPreviewFile[] = "\\main.bmp";

enum class WriteResult { kWritten, kAddFailed, kNotWritten, kRefused };

// Adds the source folder to the package; a failure is reported with the library's text.
bool AddSource(Proposal& job, PackageLibrary& library, const std::string& source,
               const char* classCode) {
    char errorText[kErrorTextSize] = {};
    if (library.AddToPackageSpecial(source.c_str(), job.name.c_str(), job.description.c_str(),
                                    classCode, errorText)) {
        return true;
    }
    errorText[kErrorTextSize - 1] = '\0';  // never trust the library to terminate
    job.platform.ShowMessage(messages::ErrorAdding(job.platform, source, errorText));
    return false;
}

// Says what a failed write-out left: nothing at all, or a folder without its config.txt.
void ReportNotWritten(Proposal& job, PackageLibrary& library) {
    const std::string reason = library.LastPackageError();
    if (job.platform.PathExists(job.assetFolder)) {
        job.platform.ShowMessage(
            messages::NotComplete(job.platform, job.assetFolder, job.destination, reason));
        return;
    }
    job.platform.ShowMessage(
        messages::NothingWritten(job.platform, job.assetFolder, job.destination, reason));
}

// An asset folder counts as written only once it holds its config.txt.
WriteResult ExtractAndConfirm(Proposal& job, PackageLibrary& library) {
    library.ExtractFromPackage(job.destination.c_str(), job.name.c_str());
    if (job.platform.PathExists(job.assetFolder + "\\" + contract::kConfigFileName)) {
        return WriteResult::kWritten;
    }
    ReportNotWritten(job, library);
    return WriteResult::kNotWritten;
}

// Asks the rules of `moment` and shows the first refusal, if any; the author is taken back to
// the Name when it is the Name's.
bool Refused(Proposal& job, CreationForm& form, Moment moment) {
    const Refusal refusal = FirstRefusal(job, moment);
    if (!refusal) {
        return false;
    }
    job.platform.ShowMessage(refusal.message);
    if (refusal.subject == Subject::kName) {
        form.ReturnToName();
    }
    return true;
}

WriteResult BuildFromSkin(Proposal& job, PackageLibrary& library, CreationForm& form,
                          bool hadPreview) {
    if (Refused(job, form, Moment::kBeforeSource)) {
        return WriteResult::kRefused;
    }
    if (!AddSource(job, library, job.skinFolder + "\\train\\", nullptr)) {
        return WriteResult::kAddFailed;
    }
    const WriteResult result = ExtractAndConfirm(job, library);
    // The model's preview replaces one that the write-out brought, never the author's own.
    if (result == WriteResult::kWritten && !hadPreview) {
        job.platform.CopyFileReplacing(job.skinFolder + kPreviewFile,
                                       job.assetFolder + kPreviewFile);
    }
    return result;
}

WriteResult BuildFromTemplate(Proposal& job, PackageLibrary& library) {
    const std::string programFolder = FolderOf(job.platform, GetProgramPath(job.platform));
    const std::string source = programFolder + "\\templates\\" + job.row->templateName + "\\";
    const std::string classCode = ClassCode(*job.row);
    if (!AddSource(job, library, source, classCode.c_str())) {
        // Written out even so: the host's library may have stored part of the folder before
        // it failed, and what it then writes is its own decision, which Kitwright leaves to it.
        library.ExtractFromPackage(job.destination.c_str(), job.name.c_str());
        return WriteResult::kAddFailed;
    }
    return ExtractAndConfirm(job, library);
}

// Finishing an interrupted write-out, the library keeps what the author has changed since,
// and says so: the author learns it before the folder opens.
void TellWhatTheLibraryKept(Proposal& job, PackageLibrary& library) {
    if (const std::string note = library.LastPackageNote(); !note.empty()) {
        job.platform.ShowMessage(messages::WrittenWithNote(job.platform, job.assetFolder, note));
    }
}

// Stores the asset and opens its folder; after a refusal, or a write-out that did not
// complete, the dialog stays open instead, for the author to put it right.
CreateOutcome WriteOut(Proposal& job, PackageLibrary& library, CreationForm& form) {
    const bool reskin = IsReskinRow(*job.row);
    const bool hadPreview = reskin && job.platform.PathExists(job.assetFolder + kPreviewFile);
    library.SetStringData("description", job.description.c_str());
    const WriteResult result =
        reskin ? BuildFromSkin(job, library, form, hadPreview) : BuildFromTemplate(job, library);
    if (result == WriteResult::kNotWritten || result == WriteResult::kRefused) {
        return CreateOutcome::kStayOpen;
    }
    if (result == WriteResult::kWritten) {
        TellWhatTheLibraryKept(job, library);
    }
    job.platform.Launch(kExplorer, "/e," + job.assetFolder);
    return CreateOutcome::kClose;
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
    std::wstring name = form.NameText();  // the Name before the Description, as the form is read
    Proposal job(platform, std::move(name), form.DescriptionText());
    // A character that would not survive the trip to the code page is named before anything
    // reaches the library.
    if (Refused(job, form, Moment::kBeforePackage)) {
        return CreateOutcome::kStayOpen;
    }
    // The class is found by the text the list shows, which is all the list holds of it.
    const int index = FindClassRow(label);
    if (index < 0) {
        // The list holds only catalogue labels, so this is the program's own fault: the run
        // ends rather than create into an unknown folder.
        platform.ShowMessage(messages::kNoClass);
        return CreateOutcome::kClose;
    }
    library.ClosePackage();
    library.CreatePackage("");
    FindPlace(job, ClassRowAt(index));
    if (Refused(job, form, Moment::kBeforeWrite)) {
        return CreateOutcome::kStayOpen;
    }
    return WriteOut(job, library, form);
}

}  // namespace kitwright
