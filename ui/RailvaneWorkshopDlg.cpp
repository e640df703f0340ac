#include "ui/RailvaneWorkshopDlg.h"

#include "catalogue/ClassTable.h"
#include "creation/Refusals.h"
#include "framework/PaintDC.h"
#include "framework/SharpPictures.h"
#include "framework/WinApp.h"

namespace kitwright {
namespace {

using framework::AfxGetInstanceHandle;
using framework::CDataExchange;
using framework::CImageList;
using framework::CPaintDC;
using framework::LoadSharpBitmap;
using framework::SetCaptionIcons;

// The class list's pictures in image-list order: a row's image indexes this table.
constexpr UINT kClassPictures[] = {
    IDB_HUMAN, IDB_ROAD, IDB_HOUSE, IDB_TRACK, IDB_SIGNAL, IDB_TREE, IDB_TERRAIN, IDB_LOCOMOTIVE,
};

constexpr int kPictureSize = 16;  // the pixel art's own size
constexpr int kInitialPictures = 6;
constexpr int kPictureGrowth = 4;
constexpr COLORREF kSeeThrough = RGB(255, 255, 255);
constexpr UINT_PTR kNameCheckTimer = 1;

}  // namespace

CRailvaneWorkshopDlg::CRailvaneWorkshopDlg(Platform& platform, PackageLibrary& library, HWND parent)
    : CDialog(IDD_KITWRIGHT_DIALOG, parent),
      m_hIcon(LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_platform(platform),
      m_library(library) {}

CRailvaneWorkshopDlg::~CRailvaneWorkshopDlg() {
    if (m_hSmallIcon != nullptr) {
        DestroyIcon(m_hSmallIcon);
    }
}

void CRailvaneWorkshopDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TEMPLATE, m_editTemplate);
    DDX_Control(pDX, IDC_CLASS, m_comboClass);
    DDX_Control(pDX, IDOK, m_btnCreate);
    DDX_Control(pDX, IDC_DESCRIPTION, m_editDescription);
    DDX_Control(pDX, IDC_NAME, m_editName);
}

BOOL CRailvaneWorkshopDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (m_hSmallIcon == nullptr) {
        m_hSmallIcon = SetCaptionIcons(*this, m_hIcon, AfxGetInstanceHandle(), IDR_MAINFRAME);
    }

    BuildImageList();
    for (int row = 0; row < static_cast<int>(kClassCount); ++row) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = row;
        item.pszText = const_cast<char*>(RowLabel(row));
        item.iImage = RowImage(row);
        item.iSelectedImage = RowImage(row);
        m_comboClass.InsertItem(item);
    }
    m_comboClass.SetCurSel(0);
    m_tipCreate.Create(m_hWnd, m_btnCreate.GetSafeHwnd());
    OnSelectClass();

    // A reminder only: the dialog opens all the same.
    EnsureCreatorIdentity(m_library, m_platform);
    return TRUE;
}

void CRailvaneWorkshopDlg::BuildImageList() {
    if (m_pImageList) {
        m_pImageList->DeleteImageList();
    } else {
        m_pImageList = std::make_unique<CImageList>();
    }
    // The pictures match the text beside them: the system's small-icon size, 16 at 96 DPI.
    const int size = GetSystemMetrics(SM_CXSMICON);
    m_pImageList->Create(size, size, ILC_COLOR32 | ILC_MASK, kInitialPictures, kPictureGrowth);
    for (const UINT id : kClassPictures) {
        HBITMAP picture =
            size == kPictureSize
                ? LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id))
                : LoadSharpBitmap(AfxGetInstanceHandle(), id, kPictureSize, size, kSeeThrough);
        m_pImageList->Add(picture, kSeeThrough);
        DeleteObject(picture);
    }
    m_comboClass.SetImageList(m_pImageList.get());
}

// Shells that show a minimised window as an icon on the desktop (Windows 3.x style) ask
// the program to paint it; a dialog has no class icon, so it draws its own.
void CRailvaneWorkshopDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(*this);
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const RECT client = ClientRect();
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
}

HCURSOR CRailvaneWorkshopDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CRailvaneWorkshopDlg::OnUpdateCreate() {
    m_btnCreate.Enable(m_editName.TextLength() > 0 && m_editDescription.TextLength() > 0);
    ScheduleNameCheck();
}

void CRailvaneWorkshopDlg::OnDestroy() {
    CDialog::OnDestroy();
    KillTimer(m_hWnd, kNameCheckTimer);
    m_editName.HideBalloonTip();
    m_pImageList.reset();
}

void CRailvaneWorkshopDlg::OnSelectClass() {
    const int row = FindClassRow(SelectedClassLabel());
    m_editTemplate.SetText(row >= 0 ? RowTemplate(row) : "");
    ScheduleNameCheck();
}

// Each change starts the wait afresh, so the disk is asked once the author pauses.
void CRailvaneWorkshopDlg::ScheduleNameCheck() {
    SetTimer(m_hWnd, kNameCheckTimer, kNameCheckDelay, nullptr);
}

void CRailvaneWorkshopDlg::OnCheckName() {
    KillTimer(m_hWnd, kNameCheckTimer);
    const int row = FindClassRow(SelectedClassLabel());
    const TypedNameHints hints =
        row >= 0 ? CheckTypedName(m_platform, ClassRowAt(row), NameText()) : TypedNameHints();
    m_tipCreate.SetText(hints.wouldCreate);
    const std::wstring& problem = hints.problem;
    if (problem.empty()) {
        if (!m_nameHint.empty()) {
            m_editName.HideBalloonTip();
        }
    } else if (problem != m_nameHint) {
        m_editName.ShowBalloonTip(kNameHintTitle, problem.c_str(), TTI_WARNING);
    }
    m_nameHint = problem;
}

void CRailvaneWorkshopDlg::OnOK() {
    if (CreateAsset(m_platform, m_library, *this) == CreateOutcome::kClose) {
        EndDialog(IDOK);
    }
}

std::string CRailvaneWorkshopDlg::SelectedClassLabel() {
    char label[kPathBufferSize] = {};
    m_comboClass.GetItemText(m_comboClass.GetCurSel(), label, sizeof label);
    return label;
}

std::wstring CRailvaneWorkshopDlg::NameText() {
    return m_editName.WideText();
}

std::wstring CRailvaneWorkshopDlg::DescriptionText() {
    return m_editDescription.WideText();
}

// The Name's text selected, so that what is typed next replaces it.
void CRailvaneWorkshopDlg::ReturnToName() {
    Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_editName.GetSafeHwnd()), TRUE);
    m_editName.SetSel(0, -1);
}

}  // namespace kitwright
