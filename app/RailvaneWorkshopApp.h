// The application: finds the host, starts the library and runs the creation dialog once.
#pragma once

#include "framework/WinApp.h"

namespace kitwright {

class CRailvaneWorkshopApp : public framework::CWinApp {
protected:
    BEGIN_MSG_MAP(CRailvaneWorkshopApp, framework::CWinApp) = {
        // Help reaches the framework's handler, which opens a help file only where one
        // ships beside the program; F1 in the dialog ends up here.
        MapCommand(framework::ID_HELP, &CWinApp::OnHelp),
    };
    END_MSG_MAP()

public:
    BOOL InitInstance() override;
};

}  // namespace kitwright
