// Pictures drawn as pixel art, sized for the display without losing their hard edges: they
// are scaled by whole factors only and centred in the size that the system asks for.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

namespace framework {

// Which image of an icon resource (16 or 32 pixels) draws it at `size`: the one that fills
// it most when scaled by a whole factor without being cut; the smallest below 16.
int IconArtFor(int size);

// A bitmap resource of `art` square pixels, drawn on a `cell` square of `fill`; the caller
// deletes it. Null when the resource is missing.
HBITMAP LoadSharpBitmap(HINSTANCE module, UINT id, int art, int cell, COLORREF fill);

// An icon resource (with 16 and 32 pixel images) at `size`, from IconArtFor(size); the
// caller destroys it. Null when the resource is missing.
HICON LoadSharpIcon(HINSTANCE module, UINT id, int size);

// Sets `big` as the window's big icon, and as its small (caption) icon one fit for the
// display: `big` itself at 96 DPI, where the system takes the resource's own 16-pixel image,
// else the icon resource `id` drawn sharp at the small-icon size. Returns the icon made, for
// the caller to destroy once the window is gone; null at 96 DPI.
HICON SetCaptionIcons(CWnd& window, HICON big, HINSTANCE module, UINT id);

}  // namespace framework
