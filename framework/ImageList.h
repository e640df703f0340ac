// Owns one image list of the common controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace framework {

class CImageList {
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() { DeleteImageList(); }

    bool Create(int width, int height, UINT flags, int initial, int grow);
    // Adds a bitmap whose pixels of colour `mask` are see-through; the bitmap stays the
    // caller's. Returns the new image's index, or -1.
    int Add(HBITMAP bitmap, COLORREF mask);
    // Destroys the list, keeping this object for a new one.
    bool DeleteImageList();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

private:
    HIMAGELIST m_hImageList = nullptr;
};

}  // namespace framework
