// The real Windows services behind the asset-creation core.
#pragma once

#include <windows.h>

#include <string>

#include "creation/Platform.h"
#include "framework/Wnd.h"

namespace kitwright {

class Win32Platform : public Platform {
public:
    // The window that owns message boxes; its handle is read when a box opens, so it may
    // be named before the window exists.
    void SetOwner(const framework::CWnd& owner) { owner_ = &owner; }

    bool ReadMachineValue(const std::string& subKey, const std::string& valueName,
                          std::string& data) override;
    bool PathExists(const std::string& path) override;
    void CopyFileReplacing(const std::string& from, const std::string& to) override;
    void Launch(const std::string& program, const std::string& parameters) override;
    void ShowMessage(const std::wstring& text) override;
    std::string ProgramFileName() override;
    bool IsLeadByte(unsigned char byte) override;
    std::wstring WideText(const std::string& text) override;
    bool ToCodePage(const std::wstring& text, std::string& bytes) override;
    unsigned AnsiCodePage() override;
    std::string StoredNameIfOther(const std::string& path) override;

private:
    const framework::CWnd* owner_ = nullptr;
};

}  // namespace kitwright
