// Menus as data: building a bar with pop-ups, check marks and states found by command
// through the pop-ups or by position, texts and ids.
#include "win32_test_support.h"

#include <string>

namespace {

class Menus : public Win32Test {
  protected:
    HMENU bar = nullptr;
    HMENU run = nullptr;
    HMENU other = nullptr;

    void SetUp() override {
        Win32Test::SetUp();
        bar = CreateMenu();
        run = CreatePopupMenu();
        other = CreatePopupMenu();
        AppendMenuA(run, MF_STRING, 1, "&Animate");
        AppendMenuA(run, MF_STRING | MF_CHECKED, 4, "&Logging");
        AppendMenuA(run, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(run, MF_STRING | MF_GRAYED, 9, "Info line");
        AppendMenuA(other, MF_STRING | MF_DISABLED, 20, "Other");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(run), "&Run");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(other), "&Other");
    }
    void TearDown() override {
        DestroyMenu(bar);
        Win32Test::TearDown();
    }
};

TEST_F(Menus, CheckByCommandReachesIntoPopups) {
    EXPECT_EQ(CheckMenuItem(bar, 1, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(bar, 1, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_TRUE(GetMenuState(run, 1, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(run, 4, MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_FALSE(GetMenuState(bar, 4, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(bar, 20, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED)) << "second pop-up";
    EXPECT_EQ(CheckMenuItem(bar, 77, MF_CHECKED), static_cast<DWORD>(-1));
}

TEST_F(Menus, CheckByPosition) {
    EXPECT_EQ(CheckMenuItem(run, 0, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_TRUE(GetMenuState(run, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(run, 1, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(run, 9, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(-1));
}

TEST_F(Menus, StatesOfGrayedDisabledAndSeparatorItems) {
    EXPECT_TRUE(GetMenuState(run, 9, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(bar, 20, MF_BYCOMMAND) & MF_DISABLED);
    EXPECT_TRUE(GetMenuState(run, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuState(run, 1, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);
    EXPECT_EQ(GetMenuState(run, 55, MF_BYCOMMAND), static_cast<UINT>(-1));
    // A pop-up item carries its sub-menu's item count in the high byte.
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION) >> 8, 4u);

    EXPECT_EQ(EnableMenuItem(run, 9, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(GetMenuState(run, 9, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(EnableMenuItem(run, 1, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(run, 55, MF_GRAYED), -1);
}

TEST_F(Menus, CountsIdsSubMenusAndTexts) {
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(GetMenuItemCount(run), 4);
    EXPECT_EQ(GetSubMenu(bar, 0), run);
    EXPECT_EQ(GetSubMenu(bar, 1), other);
    EXPECT_FALSE(GetSubMenu(run, 0));
    EXPECT_FALSE(GetSubMenu(bar, 5));
    EXPECT_EQ(GetMenuItemID(run, 1), 4u);
    EXPECT_EQ(GetMenuItemID(bar, 0), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuItemID(run, 10), static_cast<UINT>(-1));

    char text[32];
    EXPECT_EQ(GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION), 4);
    EXPECT_STREQ(text, "&Run");
    EXPECT_EQ(GetMenuStringA(bar, 4, text, sizeof text, MF_BYCOMMAND), 8);
    EXPECT_STREQ(text, "&Logging");
    EXPECT_EQ(GetMenuStringA(run, 4, nullptr, 0, MF_BYCOMMAND), 8);
}

TEST_F(Menus, DestroyedMenusAreGone) {
    HMENU m = CreatePopupMenu();
    ASSERT_TRUE(DestroyMenu(m));
    EXPECT_FALSE(DestroyMenu(m));
    EXPECT_EQ(GetMenuItemCount(m), -1);
    EXPECT_FALSE(AppendMenuA(m, MF_STRING, 1, "x"));
    EXPECT_EQ(CheckMenuItem(m, 1, MF_CHECKED), static_cast<DWORD>(-1));
}

} // namespace
