// The class list's pictures rely on pure white being see-through and nothing else.
#include <gtest/gtest.h>

#include "framework/ImageList.h"
#include "framework/SharpPictures.h"

namespace framework {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kNearlyWhite = RGB(244, 246, 248);
constexpr COLORREF kBlue = RGB(0, 0, 200);

// A 16 by 16 picture: the left half pure white, the right half nearly white.
HBITMAP HalfWhitePicture() {
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, picture);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            SetPixel(dc, x, y, x < 8 ? kWhite : kNearlyWhite);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return picture;
}

TEST(ImageList, PureWhiteIsSeeThroughAndNearlyWhiteShows) {
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 4));
    HBITMAP picture = HalfWhitePicture();
    EXPECT_EQ(list.Add(picture, kWhite), 0);
    DeleteObject(picture);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 16, 16};
    HBRUSH blue = CreateSolidBrush(kBlue);
    FillRect(dc, &all, blue);
    EXPECT_TRUE(ImageList_Draw(list.GetSafeHandle(), 0, dc, 0, 0, ILD_NORMAL));
    EXPECT_EQ(GetPixel(dc, 3, 3), kBlue);
    EXPECT_EQ(GetPixel(dc, 12, 3), kNearlyWhite);

    SelectObject(dc, old);
    DeleteObject(blue);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// An icon is drawn from the image that fills the size most without being cut: a 32-pixel
// image in a 24-pixel caption would lose its edges.
TEST(SharpPictures, AnIconIsDrawnFromAnImageThatFitsWhole) {
    EXPECT_EQ(IconArtFor(16), 16);
    EXPECT_EQ(IconArtFor(20), 16);
    EXPECT_EQ(IconArtFor(24), 16);
    EXPECT_EQ(IconArtFor(32), 32);
    EXPECT_EQ(IconArtFor(40), 32);
    EXPECT_EQ(IconArtFor(48), 16);
    EXPECT_EQ(IconArtFor(12), 16);
}

}  // namespace
}  // namespace framework
