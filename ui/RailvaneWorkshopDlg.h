// The creation dialog: the program's only window.
#pragma once

#include <memory>
#include <string>

#include "creation/CreateAsset.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "res/resource.h"
#include "ui/ButtonTip.h"

namespace kitwright {

class CRailvaneWorkshopDlg : public framework::CDialog, public CreationForm {
protected:
    BEGIN_MSG_MAP(CRailvaneWorkshopDlg, framework::CDialog) = {
        MapMessage(WM_PAINT, &CRailvaneWorkshopDlg::OnPaint),
        MapMessage(WM_QUERYDRAGICON, &CRailvaneWorkshopDlg::OnQueryDragIcon),
        MapControl(EN_CHANGE, IDC_NAME, &CRailvaneWorkshopDlg::OnUpdateCreate),
        MapControl(EN_CHANGE, IDC_DESCRIPTION, &CRailvaneWorkshopDlg::OnUpdateCreate),
        MapMessage(WM_DESTROY, &CRailvaneWorkshopDlg::OnDestroy),
        MapControl(CBN_SELENDOK, IDC_CLASS, &CRailvaneWorkshopDlg::OnSelectClass),
        MapControl(CBN_SELCHANGE, IDC_CLASS, &CRailvaneWorkshopDlg::OnSelectClass),
        MapMessage(WM_TIMER, &CRailvaneWorkshopDlg::OnCheckName),
    };
    END_MSG_MAP()

public:
    // Create and the reminder at opening go through `platform` and `library`, which the
    // start-up owns and which outlive the dialog.
    CRailvaneWorkshopDlg(Platform& platform, PackageLibrary& library, HWND parent = nullptr);
    ~CRailvaneWorkshopDlg() override;

    // What Create reads from the controls.
    std::string SelectedClassLabel() override;
    std::wstring NameText() override;
    std::wstring DescriptionText() override;
    void ReturnToName() override;

    // How long typing must pause before the Name is checked, in milliseconds.
    static constexpr UINT kNameCheckDelay = 400;
    static constexpr wchar_t kNameHintTitle[] = L"This name cannot be used";

protected:
    framework::CEdit m_editTemplate;
    framework::CComboBoxEx m_comboClass;
    framework::CButton m_btnCreate;
    framework::CEdit m_editDescription;
    framework::CEdit m_editName;
    HICON m_hIcon;
    std::unique_ptr<framework::CImageList> m_pImageList;
    // The caption's icon drawn at the small-icon size above 96 DPI; null at 96 DPI, where
    // m_hIcon serves.
    HICON m_hSmallIcon = nullptr;

    void DoDataExchange(framework::CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Create: builds the asset and closes the dialog unless the author must act first.
    void OnOK() override;

    void BuildImageList();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnUpdateCreate();
    void OnDestroy();
    void OnSelectClass();
    // The Name's check, once typing or the class has paused: its problem in a balloon tip,
    // or else where Create would write in the tip over Create.
    void OnCheckName();

    // What the balloon tip on the Name says; empty while none is shown.
    std::wstring m_nameHint;
    // Where Create would write, said on hover; silent while the Name cannot be used.
    CButtonTip m_tipCreate;

private:
    void ScheduleNameCheck();

    Platform& m_platform;
    PackageLibrary& m_library;
};

}  // namespace kitwright
