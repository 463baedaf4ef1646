#include "ui/menus/DarkMenu.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

#include "support/PixelCapture.h"
#include "ui/menus/DarkMenuLayout.h"
#include "ui/menus/MenuGdi.h"

namespace lq {
namespace {

// A popup menu destroyed with the test.
struct OwnedMenu {
    HMENU handle = CreatePopupMenu();
    ~OwnedMenu() {
        if (handle) DestroyMenu(handle);
    }
};

MENUITEMINFOW ReadItem(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU;
    EXPECT_TRUE(GetMenuItemInfoW(menu, position, TRUE, &info));
    return info;
}

// "Find\tCtrl+F", a separator, "A&&B" and a submenu "Sub" holding "Inner\tF5".
struct SmallMenu {
    OwnedMenu top;
    HMENU sub = CreatePopupMenu();
    SmallMenu() {
        AppendMenuW(top.handle, MF_STRING, 10, L"Find\tCtrl+F");
        AppendMenuW(top.handle, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(top.handle, MF_STRING, 11, L"A&&B");
        AppendMenuW(sub, MF_STRING, 12, L"Inner\tF5");
        AppendMenuW(top.handle, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"Sub(&S)");
    }
};

TEST(DarkMenu, EveryItemCarriesItsOwnRecordWithTheAccessibilityHeader) {
    SmallMenu menu;
    DarkMenu dark;
    dark.MakeOwnerDrawn(menu.top.handle);
    ASSERT_EQ(dark.itemCount(), 5u);  // four items and the submenu's one

    struct Expected {
        HMENU menu;
        UINT position;
        const wchar_t* label;
        const wchar_t* accelerator;
        bool separator;
    };
    const Expected expected[] = {
        {menu.top.handle, 0, L"Find", L"Ctrl+F", false}, {menu.top.handle, 1, L"", L"", true},
        {menu.top.handle, 2, L"AB", L"", false},         {menu.top.handle, 3, L"Sub", L"", false},
        {menu.sub, 0, L"Inner", L"F5", false},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(testing::Message() << "item " << e.position << " label "
                                        << testing::PrintToString(std::wstring(e.label)));
        const MENUITEMINFOW info = ReadItem(e.menu, e.position);
        EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u);
        const DarkMenuItem* record = dark.FindItem(info.dwItemData);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->owner, e.menu);
        EXPECT_EQ(record->separator, e.separator);
        EXPECT_EQ(record->label, e.label);
        EXPECT_EQ(record->accelerator, e.accelerator);
        // What a screen reader reads through the item data.
        const auto* header = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
        EXPECT_EQ(header->dwMSAASignature, 0xAA0DF00Du);
        EXPECT_EQ(header->cchWText, std::wcslen(e.label));
        EXPECT_EQ(header->pszWText, record->label.c_str());
        EXPECT_EQ(std::wstring(header->pszWText, header->cchWText), e.label);
    }

    MENUINFO menuInfo{};
    menuInfo.cbSize = sizeof(menuInfo);
    menuInfo.fMask = MIM_BACKGROUND;
    ASSERT_TRUE(GetMenuInfo(menu.top.handle, &menuInfo));
    EXPECT_NE(menuInfo.hbrBack, nullptr);

    // The same menu made owner-drawn again (shown a second time) gets no second set of records.
    dark.MakeOwnerDrawn(menu.top.handle);
    EXPECT_EQ(dark.itemCount(), 5u);
}

TEST(DarkMenu, ForgetMenuDropsOnlyThatMenusRecordsAndLeavesNoItemPointingAtThem) {
    SmallMenu menu;
    DarkMenu dark;
    dark.MakeOwnerDrawn(menu.top.handle);
    const ULONG_PTR innerData = ReadItem(menu.sub, 0).dwItemData;

    dark.ForgetMenu(menu.top.handle);
    EXPECT_EQ(dark.itemCount(), 1u);
    EXPECT_NE(dark.FindItem(innerData), nullptr);  // the submenu's record stays
    for (UINT position = 0; position < 4; ++position) {
        const MENUITEMINFOW info = ReadItem(menu.top.handle, position);
        EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u) << position;
        EXPECT_EQ(info.dwItemData, 0u) << position;
    }
    wchar_t text[32] = {};
    GetMenuStringW(menu.top.handle, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Find\tCtrl+F");  // the item is a plain string item again

    dark.ForgetMenu(menu.sub);
    EXPECT_EQ(dark.itemCount(), 0u);
    // A menu destroyed before it is forgotten: its records still go.
    OwnedMenu gone;
    AppendMenuW(gone.handle, MF_STRING, 1, L"x");
    dark.MakeOwnerDrawn(gone.handle);
    DestroyMenu(gone.handle);
    dark.ForgetMenu(gone.handle);
    gone.handle = nullptr;
    EXPECT_EQ(dark.itemCount(), 0u);
}

TEST(DarkMenu, MeasuresItsOwnItemsOnceItHasAFont) {
    SmallMenu menu;
    DarkMenu dark;
    dark.MakeOwnerDrawn(menu.top.handle);
    const ULONG_PTR find = ReadItem(menu.top.handle, 0).dwItemData;
    const ULONG_PTR separator = ReadItem(menu.top.handle, 1).dwItemData;
    const ULONG_PTR plain = ReadItem(menu.top.handle, 2).dwItemData;

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = find;
    EXPECT_FALSE(dark.OnMeasureItem(measure)) << "no font yet";

    dark.UpdateFont(144);
    ASSERT_NE(dark.font(), nullptr);
    EXPECT_EQ(dark.dpi(), 144);
    const HFONT at144 = dark.font();
    dark.UpdateFont(144);
    EXPECT_EQ(dark.font(), at144) << "the same DPI keeps the font";

    ASSERT_TRUE(dark.OnMeasureItem(measure));
    EXPECT_EQ(measure.itemHeight, 45u);
    const int32_t check = GetSystemMetricsForDpi(SM_CXMENUCHECK, 144);
    EXPECT_EQ(static_cast<int32_t>(measure.itemWidth),
              MenuItemWidth(MeasureTextWidth(at144, L"Find"), MeasureTextWidth(at144, L"Ctrl+F"), 144, check));
    EXPECT_GT(MeasureTextWidth(at144, L"Find"), 0);

    measure.itemData = plain;
    ASSERT_TRUE(dark.OnMeasureItem(measure));
    EXPECT_EQ(static_cast<int32_t>(measure.itemWidth),
              MenuItemWidth(MeasureTextWidth(at144, L"AB"), std::nullopt, 144, check));

    measure.itemData = separator;
    ASSERT_TRUE(dark.OnMeasureItem(measure));
    EXPECT_EQ(measure.itemHeight, 14u);
    EXPECT_EQ(measure.itemWidth, 0u);

    // Not ours: other control types, foreign data, a record of another DarkMenu.
    MEASUREITEMSTRUCT other{};
    other.CtlType = ODT_LISTBOX;
    other.itemData = find;
    EXPECT_FALSE(dark.OnMeasureItem(other));
    other.CtlType = ODT_MENU;
    other.itemData = 12345;
    EXPECT_FALSE(dark.OnMeasureItem(other));
    DarkMenu another;
    another.UpdateFont(96);
    other.itemData = find;
    EXPECT_FALSE(another.OnMeasureItem(other));

    dark.UpdateFont(96);
    EXPECT_NE(dark.font(), nullptr);
    EXPECT_EQ(dark.dpi(), 96);
}

struct DrawFixture {
    SmallMenu menu;
    DarkMenu dark;
    test::PixelCapture canvas{300, 30, RGB(255, 0, 255)};
    DrawFixture() {
        dark.MakeOwnerDrawn(menu.top.handle);
        dark.UpdateFont(96);
    }
    bool Draw(UINT position, UINT state) {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemData = ReadItem(menu.top.handle, position).dwItemData;
        draw.itemState = state;
        draw.hDC = canvas.dc();
        draw.rcItem = RECT{0, 0, 300, 30};
        return dark.OnDrawItem(draw);
    }
};

TEST(DarkMenu, PaintsItemBackgroundsTextAndCheckMarkInItsColours) {
    struct Case {
        UINT state;
        COLORREF background;
        COLORREF label;
        COLORREF accelerator;
    };
    const Case cases[] = {
        {0, kMenuBackground, kMenuText, kMenuAcceleratorText},
        {ODS_SELECTED, kMenuHighlight, kMenuText, kMenuAcceleratorText},
        {ODS_HOTLIGHT, kMenuHighlight, kMenuText, kMenuAcceleratorText},
        {ODS_SELECTED | ODS_GRAYED, kMenuBackground, kMenuDisabledText, kMenuDisabledText},
        {ODS_DISABLED, kMenuBackground, kMenuDisabledText, kMenuDisabledText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state 0x" << std::hex << c.state);
        DrawFixture fixture;
        SetTextColor(fixture.canvas.dc(), RGB(1, 2, 3));
        SetBkMode(fixture.canvas.dc(), OPAQUE);
        ASSERT_TRUE(fixture.Draw(0, c.state));
        EXPECT_EQ(fixture.canvas.Pixel(1, 1), c.background);
        EXPECT_EQ(fixture.canvas.Pixel(299, 29), c.background);
        EXPECT_EQ(fixture.canvas.Pixel(9, 15), c.background) << "no check mark unless checked";
        // "Find" from 28 DIP on, "Ctrl+F" right-aligned 16 DIP before the edge.
        EXPECT_TRUE(fixture.canvas.Colours(RECT{28, 0, 120, 30}).contains(c.label));
        EXPECT_TRUE(fixture.canvas.Colours(RECT{180, 0, 284, 30}).contains(c.accelerator));
        if (c.label != c.accelerator) {
            EXPECT_FALSE(fixture.canvas.Colours(RECT{180, 0, 284, 30}).contains(c.label));
        }
        EXPECT_EQ(fixture.canvas.Colours(RECT{284, 0, 300, 30}), std::set<COLORREF>{c.background});
        // The device context is handed back as it came.
        EXPECT_EQ(GetTextColor(fixture.canvas.dc()), RGB(1, 2, 3));
        EXPECT_EQ(GetBkMode(fixture.canvas.dc()), OPAQUE);
    }
}

TEST(DarkMenu, CheckMarkIsTwoPixelsThickAt96Dpi) {
    for (const UINT disabled : {0u, static_cast<UINT>(ODS_GRAYED)}) {
        DrawFixture fixture;
        ASSERT_TRUE(fixture.Draw(2, ODS_CHECKED | disabled));
        const COLORREF colour = disabled ? kMenuDisabledText : kMenuText;
        // The first stroke runs from (9, 15) down to (13, 19); the second pass lies a pixel lower.
        EXPECT_EQ(fixture.canvas.Pixel(9, 15), colour);
        EXPECT_EQ(fixture.canvas.Pixel(9, 16), colour);
        EXPECT_EQ(fixture.canvas.Pixel(9, 17), kMenuBackground);
        EXPECT_EQ(fixture.canvas.Pixel(9, 14), kMenuBackground);
        EXPECT_EQ(fixture.canvas.Pixel(11, 17), colour);
        EXPECT_EQ(fixture.canvas.Pixel(16, 15), colour);  // on the long stroke up to (20, 8)
    }
}

TEST(DarkMenu, SeparatorIsAThinLineInsetFromBothSides) {
    DrawFixture fixture;
    ASSERT_TRUE(fixture.Draw(1, 0));
    // Drawn into a 30-pixel rectangle here: the line's top is at 15.
    EXPECT_EQ(fixture.canvas.Pixel(8, 15), kMenuSeparatorLine);
    EXPECT_EQ(fixture.canvas.Pixel(291, 15), kMenuSeparatorLine);
    EXPECT_EQ(fixture.canvas.Pixel(7, 15), kMenuBackground);
    EXPECT_EQ(fixture.canvas.Pixel(292, 15), kMenuBackground);
    EXPECT_EQ(fixture.canvas.Pixel(100, 14), kMenuBackground);
    EXPECT_EQ(fixture.canvas.Pixel(100, 16), kMenuBackground);
    // Selection does not highlight a separator.
    ASSERT_TRUE(fixture.Draw(1, ODS_SELECTED));
    EXPECT_EQ(fixture.canvas.Pixel(100, 2), kMenuBackground);
}

TEST(DarkMenu, DrawsWithoutAFontAndRefusesWhatIsNotItsOwn) {
    SmallMenu menu;
    DarkMenu dark;
    dark.MakeOwnerDrawn(menu.top.handle);
    test::PixelCapture canvas(300, 30, RGB(255, 0, 255));
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemData = ReadItem(menu.top.handle, 0).dwItemData;
    draw.hDC = canvas.dc();
    draw.rcItem = RECT{0, 0, 300, 30};
    EXPECT_TRUE(dark.OnDrawItem(draw));  // the stock GUI font stands in
    EXPECT_EQ(canvas.Pixel(1, 1), kMenuBackground);

    draw.CtlType = ODT_BUTTON;
    EXPECT_FALSE(dark.OnDrawItem(draw));
    draw.CtlType = ODT_MENU;
    draw.itemData = 0;
    EXPECT_FALSE(dark.OnDrawItem(draw));
}

}  // namespace
}  // namespace lq
