#include "framework/SharpPictures.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

namespace framework {
namespace {

// The sizes of the images that the programs' icon resources hold.
constexpr int kIconArtSizes[] = {32, 16};

BITMAPINFO TopDownInfo(int side) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The bitmap's pixels as 32-bit values, row by row from the top.
std::vector<std::uint32_t> PixelsOf(HBITMAP bitmap, int side) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(side) * side);
    BITMAPINFO info = TopDownInfo(side);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(side), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

HBITMAP BitmapOf(const std::vector<std::uint32_t>& pixels, int side) {
    BITMAPINFO info = TopDownInfo(side);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        std::memcpy(bits, pixels.data(), pixels.size() * sizeof pixels[0]);
    }
    return bitmap;
}

// A one-bit mask, set where the 32-bit mask is white (see-through).
HBITMAP MaskOf(const std::vector<std::uint32_t>& pixels, int side) {
    const int stride = (side + 15) / 16 * 2;  // rows are padded to whole 16-bit words
    std::vector<BYTE> bits(static_cast<std::size_t>(stride) * side, 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            if ((pixels[static_cast<std::size_t>(y) * side + x] & 0xFFFFFF) != 0) {
                bits[static_cast<std::size_t>(y) * stride + x / 8] |= 0x80 >> (x % 8);
            }
        }
    }
    return CreateBitmap(side, side, 1, 1, bits.data());
}

// The largest whole factor by which `art` pixels fit in `cell`; at least 1.
int WholeFactor(int art, int cell) {
    return art > 0 && cell >= art ? cell / art : 1;
}

// Square `pixels` of side `art`, row by row, scaled by WholeFactor(art, cell) and centred on
// a square of side `cell` filled with `fill`.
std::vector<std::uint32_t> ScaledPixels(const std::vector<std::uint32_t>& pixels, int art, int cell,
                                        std::uint32_t fill) {
    const int factor = WholeFactor(art, cell);
    const int drawn = art * factor;
    const int offset = (cell - drawn) / 2;
    std::vector<std::uint32_t> scaled(static_cast<std::size_t>(cell) * cell, fill);
    for (int y = 0; y < drawn && offset + y < cell; ++y) {
        for (int x = 0; x < drawn && offset + x < cell; ++x) {
            if (offset + y >= 0 && offset + x >= 0) {
                scaled[static_cast<std::size_t>(offset + y) * cell + offset + x] =
                    pixels[static_cast<std::size_t>(y / factor) * art + x / factor];
            }
        }
    }
    return scaled;
}

}  // namespace

int IconArtFor(int size) {
    int best = 0;
    for (const int art : kIconArtSizes) {
        if (art <= size && art * WholeFactor(art, size) > best * WholeFactor(best, size)) {
            best = art;
        }
    }
    return best > 0 ? best : *std::min_element(std::begin(kIconArtSizes), std::end(kIconArtSizes));
}

HBITMAP LoadSharpBitmap(HINSTANCE module, UINT id, int art, int cell, COLORREF fill) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): LoadImage answers with a handle of any kind
    auto* source = static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (source == nullptr) {
        return nullptr;
    }
    const std::uint32_t background =
        GetRValue(fill) << 16 | GetGValue(fill) << 8 | GetBValue(fill);  // as DIBs keep it
    const std::vector<std::uint32_t> pixels =
        ScaledPixels(PixelsOf(source, art), art, cell, background);
    DeleteObject(source);
    return BitmapOf(pixels, cell);
}

HICON LoadSharpIcon(HINSTANCE module, UINT id, int size) {
    const int art = IconArtFor(size);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): LoadImage answers with a handle of any kind
    auto* source = static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, art, art, LR_DEFAULTCOLOR));
    ICONINFO parts = {};
    if (source == nullptr) {
        return nullptr;
    }
    if (!GetIconInfo(source, &parts)) {
        DestroyIcon(source);
        return nullptr;
    }
    const std::vector<std::uint32_t> colour =
        ScaledPixels(PixelsOf(parts.hbmColor, art), art, size, 0);
    const std::vector<std::uint32_t> mask =
        ScaledPixels(PixelsOf(parts.hbmMask, art), art, size, 0xFFFFFF);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    DestroyIcon(source);
    ICONINFO made = {TRUE, 0, 0, MaskOf(mask, size), BitmapOf(colour, size)};
    HICON icon = CreateIconIndirect(&made);
    DeleteObject(made.hbmMask);
    DeleteObject(made.hbmColor);
    return icon;
}

HICON SetCaptionIcons(CWnd& window, HICON big, HINSTANCE module, UINT id) {
    constexpr int kArtSmallIcon = 16;
    window.SetIcon(big, true);
    const int size = GetSystemMetrics(SM_CXSMICON);
    HICON small = size != kArtSmallIcon ? LoadSharpIcon(module, id, size) : nullptr;
    window.SetIcon(small != nullptr ? small : big, false);
    return small;
}

}  // namespace framework
