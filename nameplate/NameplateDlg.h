// The identity dialog: shows the author's creator identifier and sets a new one.
#pragma once

#include "framework/Dialog.h"

namespace nameplate {

class CNameplateDlg : public framework::CDialog {
public:
    CNameplateDlg();
    ~CNameplateDlg() override;

protected:
    framework::CEdit m_editCurrent;
    framework::CEdit m_editKuid;
    HICON m_hIcon;
    HICON m_hSmallIcon = nullptr;  // drawn at the small-icon size above 96 DPI

    void DoDataExchange(framework::CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Save: stores a valid identifier, says so and closes; anything else is explained.
    void OnOK() override;

private:
    void ShowCurrent();
};

}  // namespace nameplate
