#include "app/RailvaneWorkshopApp.h"

#include "creation/Locations.h"
#include "packagelib/DllPackageLibrary.h"
#include "platform/win32/Win32Platform.h"
#include "ui/RailvaneWorkshopDlg.h"

namespace kitwright {
namespace {

constexpr char kNotInstalledText[] =
    "Railvane is not installed on this Machine.  \n\nPlease Install Railvane.";
constexpr char kNotInstalledCaption[] = "Railvane is not installed";

}  // namespace

// The one place that builds the program's platform and library; the dialog borrows them.
BOOL CRailvaneWorkshopApp::InitInstance() {
    // A no-op on every system this runs on, kept first as the framework's start-ups have it:
    // on the oldest ones the 3-D look had to be on before the first window.
    Enable3dControls();

    Win32Platform platform;
    PathBuffer installRoot = {};
    GetInstallPath(platform, installRoot);
    if (installRoot[0] == '\0') {
        framework::AfxMessageBox(nullptr, kNotInstalledText, kNotInstalledCaption,
                                 MB_ICONERROR | MB_OK);
        return FALSE;
    }

    DllPackageLibrary library;
    library.InitVEL();

    CRailvaneWorkshopDlg dlg(platform, library);
    platform.SetOwner(dlg);  // Create's message boxes belong to the dialog
    RunMainDialog(dlg);
    // The dialog was the whole run: end without a message loop.
    return FALSE;
}

}  // namespace kitwright

// The one application object, which the framework's WinMain runs.
kitwright::CRailvaneWorkshopApp theApp;
