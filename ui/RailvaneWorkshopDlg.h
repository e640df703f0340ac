// The creation dialog: the program's only window.
#pragma once

#include <memory>
#include <string>

#include "creation/CreateAsset.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "packagelib/DllPackageLibrary.h"
#include "platform/win32/Win32Platform.h"

namespace kitwright {

class CRailvaneWorkshopDlg : public CDialog, public CreationForm {
public:
    explicit CRailvaneWorkshopDlg(HWND parent = nullptr);

    // What Create reads from the controls.
    std::string SelectedClassLabel() override;
    std::string NameText() override;
    std::string DescriptionText() override;

protected:
    CEdit m_editTemplate;
    CComboBoxEx m_comboClass;
    CButton m_btnCreate;
    CEdit m_editDescription;
    CEdit m_editName;
    HICON m_hIcon;
    std::unique_ptr<CImageList> m_pImageList;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Create: builds the asset and closes the dialog unless the author must act first.
    void OnOK() override;

    void BuildImageList();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnUpdateCreate();
    void OnDestroy();
    void OnSelectClass();

    const MessageMap* GetMessageMap() const override;

private:
    static const MessageMapEntry kMessageEntries[];
    static const MessageMap kMessageMap;

    Win32Platform m_platform;
    DllPackageLibrary m_library;
};

}  // namespace kitwright
