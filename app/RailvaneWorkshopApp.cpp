#include "app/RailvaneWorkshopApp.h"

#include <iterator>

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

const MessageMapEntry CRailvaneWorkshopApp::kMessageEntries[] = {
    MapCommand(ID_HELP, &CWinApp::OnHelp),
};

const MessageMap CRailvaneWorkshopApp::kMessageMap = {nullptr, kMessageEntries,
                                                      std::size(kMessageEntries)};

const MessageMap* CRailvaneWorkshopApp::GetMessageMap() const {
    return &kMessageMap;
}

BOOL CRailvaneWorkshopApp::InitInstance() {
    Enable3dControls();

    Win32Platform platform;
    PathBuffer installRoot = {};
    GetInstallPath(platform, installRoot);
    if (installRoot[0] == '\0') {
        AfxMessageBox(nullptr, kNotInstalledText, kNotInstalledCaption, MB_ICONERROR | MB_OK);
        return FALSE;
    }

    DllPackageLibrary library;
    library.InitVEL();

    CRailvaneWorkshopDlg dlg;
    RunMainDialog(dlg);
    // The dialog was the whole run: end without a message loop.
    return FALSE;
}

}  // namespace kitwright

// The one application object, which the framework's WinMain runs.
kitwright::CRailvaneWorkshopApp theApp;
