// The application: finds the host, starts the library and runs the creation dialog once.
#pragma once

#include "framework/WinApp.h"

namespace kitwright {

class CRailvaneWorkshopApp : public CWinApp {
public:
    BOOL InitInstance() override;

protected:
    const MessageMap* GetMessageMap() const override;

private:
    static const MessageMapEntry kMessageEntries[];
    static const MessageMap kMessageMap;
};

}  // namespace kitwright
