// Nameplate.exe: runs the identity dialog once.
#include "framework/WinApp.h"
#include "nameplate/NameplateDlg.h"

namespace nameplate {

class CNameplateApp : public framework::CWinApp {
public:
    BOOL InitInstance() override {
        Enable3dControls();
        CNameplateDlg dlg;
        RunMainDialog(dlg);
        return FALSE;
    }
};

}  // namespace nameplate

// The one application object, which the framework's WinMain runs.
nameplate::CNameplateApp theApp;
