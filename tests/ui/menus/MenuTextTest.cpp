#include "ui/menus/MenuText.h"

#include <gtest/gtest.h>

#include "ui/menus/DarkMenu.h"

namespace lq {
namespace {

struct LabelCase {
    const wchar_t* text;
    const wchar_t* label;
    const wchar_t* accelerator;
};

TEST(MenuText, LabelAndAcceleratorOfMenuTexts) {
    const LabelCase cases[] = {
        {L"検索\tCtrl+F", L"検索", L"Ctrl+F"},
        {L"ファイル(&F)", L"ファイル", L""},
        {L"表示(&V)\tAlt+V", L"表示", L"Alt+V"},
        {L"A&&B", L"AB", L""},  // every "&" goes
        {L"&Open", L"Open", L""},
        {L"Open (&", L"Open (", L""},  // no closing ")": only the "&" goes
        {L"(&X)", L"", L""},           // the group is the whole label
        {L"&", L"", L""},
        {L"Save   \tCtrl+S", L"Save", L"Ctrl+S"},  // trailing spaces before the tab
        {L"文字を大きく\tCtrl++", L"文字を大きく", L"Ctrl++"},
        {L"a\tb\tc", L"a", L"b\tc"},  // only the first tab splits
        {L"Edit(&E) more", L"Edit more", L""},
        {L"", L"", L""},
        {L"\tF5", L"", L"F5"},
        {L"   ", L"", L""},
    };
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text #" << (&c - cases));
        EXPECT_EQ(CleanMenuLabel(c.text), c.label);
        EXPECT_EQ(DarkMenu::CleanLabel(c.text), c.label);
        EXPECT_EQ(MenuAccelerator(c.text), c.accelerator);
    }
}

TEST(MenuText, MnemonicIsTheUpperCasedCharacterAfterTheFirstAmpersand) {
    EXPECT_EQ(MenuMnemonic(L"ファイル(&F)"), L'F');
    EXPECT_EQ(MenuMnemonic(L"編集(&e)"), L'E');
    EXPECT_EQ(MenuMnemonic(L"&view"), L'V');
    EXPECT_EQ(MenuMnemonic(L"no mark"), L'\0');
    EXPECT_EQ(MenuMnemonic(L"last&"), L'\0');
    EXPECT_EQ(MenuMnemonic(L"&1st"), L'1');
    EXPECT_EQ(MenuMnemonic(L""), L'\0');
}

}  // namespace
}  // namespace lq
