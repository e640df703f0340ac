// The real Windows services behind the asset-creation core.
#pragma once

#include <windows.h>

#include <string>

#include "creation/Platform.h"

namespace kitwright {

class Win32Platform : public Platform {
public:
    explicit Win32Platform(HWND owner = nullptr) : owner_(owner) {}
    // The window that owns message boxes; set once the dialog exists.
    void SetOwner(HWND owner) { owner_ = owner; }

    bool ReadMachineValue(const std::string& subKey, const std::string& valueName,
                          std::string& data) override;
    bool PathExists(const std::string& path) override;
    void CopyFileReplacing(const std::string& from, const std::string& to) override;
    void Launch(const std::string& program, const std::string& parameters) override;
    void ShowMessage(const std::string& text) override;
    std::string ProgramFileName() override;

private:
    HWND owner_;
};

}  // namespace kitwright
