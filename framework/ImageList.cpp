#include "framework/ImageList.h"

namespace framework {

bool CImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ImageList_Create(width, height, flags, initial, grow);
    return m_hImageList != nullptr;
}

int CImageList::Add(HBITMAP bitmap, COLORREF mask) {
    return m_hImageList != nullptr ? ImageList_AddMasked(m_hImageList, bitmap, mask) : -1;
}

bool CImageList::DeleteImageList() {
    if (m_hImageList == nullptr) {
        return false;
    }
    ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return true;
}

}  // namespace framework
