// The identity dialog: shows the author's creator identifier and sets a new one.
#pragma once

#include "framework/Dialog.h"

namespace nameplate {

class CNameplateDlg : public kitwright::CDialog {
public:
    CNameplateDlg();

protected:
    kitwright::CEdit m_editCurrent;
    kitwright::CEdit m_editKuid;
    HICON m_hIcon;

    void DoDataExchange(kitwright::CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Save: stores a valid identifier and closes; anything else is explained.
    void OnOK() override;

private:
    void ShowCurrent();
};

}  // namespace nameplate
