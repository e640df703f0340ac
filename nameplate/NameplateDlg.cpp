#include "nameplate/NameplateDlg.h"

#include <string>

#include "framework/SharpPictures.h"
#include "framework/WinApp.h"
#include "nameplate/KuidInput.h"
#include "nameplate/resource.h"
#include "velcomp/CreatorIdentity.h"

namespace nameplate {

using framework::AfxGetInstanceHandle;
using framework::AfxMessageBox;

namespace {

std::wstring FromUtf8(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wide;
}

}  // namespace

CNameplateDlg::CNameplateDlg()
    : CDialog(IDD_NAMEPLATE_DIALOG),
      m_hIcon(LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_NAMEPLATE))) {}

CNameplateDlg::~CNameplateDlg() {
    if (m_hSmallIcon != nullptr) {
        DestroyIcon(m_hSmallIcon);
    }
}

void CNameplateDlg::DoDataExchange(framework::CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    framework::DDX_Control(pDX, IDC_CURRENT, m_editCurrent);
    framework::DDX_Control(pDX, IDC_KUID, m_editKuid);
}

BOOL CNameplateDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_hSmallIcon == nullptr) {
        m_hSmallIcon =
            framework::SetCaptionIcons(*this, m_hIcon, AfxGetInstanceHandle(), IDR_NAMEPLATE);
    }
    ShowCurrent();
    return TRUE;
}

void CNameplateDlg::ShowCurrent() {
    const std::int32_t kuid = velcomp::ReadCreatorKuid();
    m_editCurrent.SetText(kuid > 0 ? std::to_string(kuid).c_str() : "(none set)");
}

void CNameplateDlg::OnOK() {
    const KuidInput input = ParseKuid(m_editKuid.WideText());
    if (!input.valid) {
        AfxMessageBox(m_hWnd, FromUtf8(input.problem).c_str(), nullptr, MB_OK | MB_ICONWARNING);
        SetFocus(m_editKuid.GetSafeHwnd());
        return;
    }
    const velcomp::Result saved = velcomp::SetCreatorKuid(input.kuid);
    if (!saved) {
        const std::string text =
            "Your creator identifier could not be saved.\n\n" + saved.message();
        AfxMessageBox(m_hWnd, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
        return;
    }
    // The author is told in words before the dialog goes, not left to guess from its closing.
    const std::string done = "Your creator identifier " + std::to_string(input.kuid) +
                             " is saved. Kitwright and the content library now use it.";
    AfxMessageBox(m_hWnd, done.c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
    EndDialog(IDOK);
}

}  // namespace nameplate
