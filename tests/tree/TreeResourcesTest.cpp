#include "tree/TreeResources.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvola {
namespace {

HINSTANCE Program() {
    return GetModuleHandleW(nullptr);
}

TEST(TreeResources, EveryNamedBitmapLoadsWithItsSize) {
    struct Case {
        const wchar_t* name;
        int width, height, bits;
    };
    const Case cases[] = {
        {L"VT_CHECK_LIGHT", 400, 16, 8}, {L"VT_CHECK_DARK", 400, 16, 8}, {L"VT_TICK_LIGHT", 400, 16, 8},
        {L"VT_TICK_DARK", 400, 16, 8},   {L"VT_FLAT", 400, 16, 8},       {L"VT_XP", 400, 16, 24},
        {L"VT_UTILITIES", 144, 16, 8},   {L"VT_XPBUTTONPLUS", 9, 9, 24}, {L"VT_XPBUTTONMINUS", 9, 9, 24},
        {L"VT_MOVEALL", 32, 32, 4},      {L"VT_MOVEEW", 32, 32, 4},      {L"VT_MOVENS", 32, 32, 4},
    };
    for (const Case& c : cases) {
        auto* bitmap =
            static_cast<HBITMAP>(LoadImageW(Program(), c.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << std::wstring(c.name).size();
        DIBSECTION dib{};
        ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
        EXPECT_EQ(dib.dsBm.bmWidth, c.width);
        EXPECT_EQ(dib.dsBm.bmHeight, c.height);
        EXPECT_EQ(dib.dsBmih.biBitCount, c.bits);
        DeleteObject(bitmap);
    }
}

TEST(TreeResources, EveryNamedCursorLoads) {
    for (const wchar_t* name :
         {L"VT_HEADERSPLIT", L"VT_MOVEALL", L"VT_MOVEEW", L"VT_MOVENS", L"VT_MOVEN", L"VT_MOVENE",
          L"VT_MOVEE", L"VT_MOVESE", L"VT_MOVES", L"VT_MOVESW", L"VT_MOVEW", L"VT_MOVENW"}) {
        HCURSOR cursor = LoadCursorW(Program(), name);
        ASSERT_NE(cursor, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, 16u);
        EXPECT_EQ(info.yHotspot, 16u);
        DeleteObject(info.hbmMask);
        if (info.hbmColor != nullptr)
            DeleteObject(info.hbmColor);
    }
}

// A 32 x 16 memory surface filled with one colour to draw images onto.
class Surface {
public:
    explicit Surface(COLORREF fill) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, 32, 32);
        ReleaseDC(nullptr, screen);
        original_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, 32, 32};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Surface() {
        SelectObject(dc_, original_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ original_;
};

constexpr COLORREF Green = RGB(0, 200, 0);

TEST(TreeResources, CheckListsHold25ImagesWithTransparentBackgrounds) {
    TTreeResourcesUse use;
    const int systemSize = GetSystemMetrics(SM_CXMENUCHECK) + 3;
    for (int k = 0; k <= static_cast<int>(TCheckImageKind::ckSystemFlat); ++k) {
        const auto kind = static_cast<TCheckImageKind>(k);
        HIMAGELIST list = GetCheckImageListFor(kind);
        if (kind == TCheckImageKind::ckCustom) {
            EXPECT_EQ(list, nullptr);
            continue;
        }
        ASSERT_NE(list, nullptr) << k;
        EXPECT_EQ(ImageList_GetImageCount(list), CheckImageCount) << k;
        int width = 0, height = 0;
        ImageList_GetIconSize(list, &width, &height);
        const bool system = kind == TCheckImageKind::ckSystem || kind == TCheckImageKind::ckSystemFlat;
        EXPECT_EQ(width, system ? systemSize : 16) << k;
        EXPECT_EQ(height, width);
        // Image 0 is empty: nothing shows; image 9 (an unchecked box) covers its centre.
        Surface surface(Green);
        ImageList_Draw(list, 0, surface.dc(), 0, 0, ILD_TRANSPARENT);
        ImageList_Draw(list, 9, surface.dc(), 16, 0, ILD_TRANSPARENT);
        EXPECT_EQ(surface.At(0, 0), Green) << k;
        EXPECT_EQ(surface.At(8, 8), Green) << k;
        EXPECT_EQ(surface.At(16, 0), Green) << k;
        EXPECT_NE(surface.At(16 + width / 2, height / 2), Green) << k;
    }
    EXPECT_EQ(ImageList_GetImageCount(UtilityImages()), 9);
    EXPECT_NE(VirtualTreeReferenceFormat(), 0u);
    EXPECT_LE(VirtualTreeReferenceFormat(), 0xFFFFu);
    EXPECT_EQ(ScreenCursor(crHeaderSplit), LoadCursorW(Program(), L"VT_HEADERSPLIT"));
}

TEST(TreeResources, UsesAreCounted) {
    InitializeGlobalStructures();
    InitializeGlobalStructures();
    FinalizeGlobalStructures();
    EXPECT_NE(GetCheckImageListFor(TCheckImageKind::ckFlat), nullptr);
    FinalizeGlobalStructures();
    EXPECT_EQ(GetCheckImageListFor(TCheckImageKind::ckFlat), nullptr);
    EXPECT_EQ(UtilityImages(), nullptr);
    FinalizeGlobalStructures(); // an unmatched finalise is ignored
}

TEST(TreeResources, AMissingStripIsAnAssertion) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
    try {
        LoadInternalImages(list, L"VT_NO_SUCH_STRIP", true);
        ADD_FAILURE() << "no assertion";
    } catch (const EVirtualTreeAssertion& e) {
        EXPECT_STREQ(e.what(), "Internal image \"VT_NO_SUCH_STRIP\" is missing or corrupt.");
    }
    ImageList_Destroy(list);
}

// Restores the system colours a test changed.
class SysColorGuard {
public:
    explicit SysColorGuard(int index) : index_(index), saved_(GetSysColor(index)) {}
    ~SysColorGuard() { SetSysColors(1, &index_, &saved_); }

private:
    int index_;
    COLORREF saved_;
};

TEST(TreeResources, ASystemColourChangeRemapsTheMappedStripsOnly) {
    TTreeResourcesUse use;
    SysColorGuard guard(COLOR_BTNFACE);
    const int element = COLOR_BTNFACE;
    const COLORREF face = RGB(10, 120, 230);
    ASSERT_TRUE(SetSysColors(1, &element, &face));
    HIMAGELIST light = GetCheckImageListFor(TCheckImageKind::ckLightCheck);
    HIMAGELIST xp = GetCheckImageListFor(TCheckImageKind::ckXP);
    Surface before(Green);
    ImageList_Draw(xp, 11, before.dc(), 0, 0, ILD_TRANSPARENT);
    ReloadColorMappedImages();
    EXPECT_EQ(GetCheckImageListFor(TCheckImageKind::ckLightCheck), light); // the handle stays
    EXPECT_EQ(ImageList_GetImageCount(light), CheckImageCount);
    Surface after(Green);
    // Image 11, a pressed box, has a silver face.
    ImageList_Draw(light, 11, after.dc(), 0, 0, ILD_TRANSPARENT);
    ImageList_Draw(xp, 11, after.dc(), 16, 0, ILD_TRANSPARENT);
    EXPECT_EQ(after.At(7, 7), face);
    EXPECT_EQ(after.At(16 + 7, 7), before.At(7, 7));
}

} // namespace
} // namespace tarvola
