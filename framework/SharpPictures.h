// Pictures drawn as pixel art, sized for the display without losing their hard edges: they
// are scaled by whole factors only and centred in the size that the system asks for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Wnd.h"

namespace framework {

// The largest whole factor by which `art` pixels fit in `cell`; at least 1.
int WholeFactor(int art, int cell);

// Square `pixels` of side `art`, row by row, scaled by WholeFactor(art, cell) and centred on
// a square of side `cell` filled with `fill`.
std::vector<std::uint32_t> ScaledPixels(const std::vector<std::uint32_t>& pixels, int art, int cell,
                                        std::uint32_t fill);

// A bitmap resource of `art` square pixels, drawn on a `cell` square of `fill`; the caller
// deletes it. Null when the resource is missing.
HBITMAP LoadSharpBitmap(HINSTANCE module, UINT id, int art, int cell, COLORREF fill);

// An icon resource (with 16 and 32 pixel images) at `size`, from the image that scales by
// the largest whole factor; the caller destroys it. Null when the resource is missing.
HICON LoadSharpIcon(HINSTANCE module, UINT id, int size);

// Sets `big` as the window's big icon, and as its small (caption) icon one fit for the
// display: `big` itself at 96 DPI, where the system takes the resource's own 16-pixel image,
// else the icon resource `id` drawn sharp at the small-icon size. Returns the icon made, for
// the caller to destroy once the window is gone; null at 96 DPI.
HICON SetCaptionIcons(CWnd& window, HICON big, HINSTANCE module, UINT id);

}  // namespace framework
