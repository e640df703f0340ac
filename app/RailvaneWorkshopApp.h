// The application: finds the host, starts the library and runs the creation dialog once.
// The application and dialog classes keep their names from the tool's days as the Railvane
// workshop, which is how its documentation and the host's other tools know them.
#pragma once

#include "framework/WinApp.h"

namespace kitwright {

class CRailvaneWorkshopApp : public framework::CWinApp {
protected:
    BEGIN_MSG_MAP(CRailvaneWorkshopApp, framework::CWinApp) = {
        // F1 in the dialog ends here, as in the host's other tools: the framework opens a
        // help file when one ships beside the program, and none does yet.
        MapCommand(framework::ID_HELP, &CWinApp::OnHelp),
    };
    END_MSG_MAP()

public:
    BOOL InitInstance() override;
};

}  // namespace kitwright
