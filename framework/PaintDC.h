// The device context of one WM_PAINT, begun and ended with the object's life.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

namespace framework {

class CPaintDC {
public:
    explicit CPaintDC(CWnd& window) : m_window(window.m_hWnd) {
        m_hDC = BeginPaint(m_window, &m_ps);
    }
    ~CPaintDC() { EndPaint(m_window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

private:
    HWND m_window;
    PAINTSTRUCT m_ps = {};
    HDC m_hDC = nullptr;
};

}  // namespace framework
