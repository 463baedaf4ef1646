#include <gtest/gtest.h>

#include <string>

#include "editor/EditorColours.h"
#include "editor/EditorFailure.h"
#include "editor/EditorFonts.h"
#include "platform/TextConversion.h"
#include "support/editor/EditorFixture.h"

namespace lq {
namespace {

using Scintilla::Element;

class EditorViewTest : public test::EditorFixture {
protected:
    std::string Lines(int count) {
        std::string text;
        for (int i = 1; i < count; ++i) text += "line\r\n";
        return text + "last";
    }
};

TEST_F(EditorViewTest, CreationConfiguresPlainUtf8TextInTheDarkPalette) {
    auto& c = call();
    EXPECT_EQ(c.CodePage(), 65001);
    EXPECT_EQ(c.EOLMode(), Scintilla::EndOfLine::CrLf);
    EXPECT_TRUE(c.PasteConvertEndings());
    EXPECT_EQ(c.TabWidth(), 8);
    EXPECT_TRUE(c.UseTabs());
    EXPECT_FALSE(c.TabIndents());
    EXPECT_EQ(c.Technology(), Scintilla::Technology::Default);
    EXPECT_TRUE(c.BufferedDraw());
    EXPECT_EQ(c.LayoutCache(), Scintilla::LineCache::Page);
    EXPECT_EQ(c.FontLocale(), "ja-JP");
    EXPECT_EQ(c.IMEInteraction(), Scintilla::IMEInteraction::Inline);
    EXPECT_EQ(static_cast<int>(c.ModEventMask()), 3);
    EXPECT_FALSE(c.CommandEvents());
    EXPECT_FALSE(c.MultipleSelection());
    EXPECT_EQ(c.ScrollWidth(), 1);
    EXPECT_TRUE(c.ScrollWidthTracking());
    EXPECT_EQ(c.WrapIndentMode(), Scintilla::WrapIndentMode::Same);
    EXPECT_EQ(c.WrapMode(), Scintilla::Wrap::Char);
    EXPECT_EQ(c.MarginTypeN(0), Scintilla::MarginType::Number);
    EXPECT_EQ(c.MarginWidthN(1), 0);
    EXPECT_EQ(c.MarginWidthN(2), 0);
    EXPECT_GT(c.MarginWidthN(0), 0);
    EXPECT_EQ(c.CaretPeriod(), 0);
    EXPECT_TRUE(c.CaretLineVisibleAlways());
    EXPECT_EQ(c.CaretStyle(), Scintilla::CaretStyle::Line);
    EXPECT_EQ(c.Length(), 0);

    const std::pair<Element, uint32_t> elements[] = {
        {Element::CaretLineBack, kCaretLineBackRgb},
        {Element::Caret, kCaretRgb},
        {Element::SelectionBack, 0x264F78},
        {Element::SelectionText, 0xFFFFFF},
        {Element::SelectionAdditionalBack, 0x264F78},
        {Element::SelectionAdditionalText, 0xFFFFFF},
        {Element::SelectionInactiveBack, 0x3A3D41},
        {Element::SelectionInactiveText, 0xFFFFFF},
    };
    for (const auto& [element, rgb] : elements) {
        SCOPED_TRACE(static_cast<int>(element));
        EXPECT_EQ(static_cast<uint32_t>(c.ElementColour(element)), static_cast<uint32_t>(OpaqueComponentColour(rgb)));
    }
    EXPECT_EQ(OpaqueComponentColour(0xAEAFAD), static_cast<int>(0xFFADAFAEu));  // 0xRRGGBB becomes BGR

    // Fonts and colours of the two styles in use.
    EXPECT_EQ(c.StyleGetFont(32), Utf16ToUtf8(view().fontFace()));
    EXPECT_EQ(view().fontFace(), PickInstalledFont(kEditorFaces));
    EXPECT_EQ(c.StyleGetSizeFractional(32), 1600);
    EXPECT_EQ(c.StyleGetFore(32), ComponentColour(0xD4D4D4));
    EXPECT_EQ(c.StyleGetBack(32), ComponentColour(0x1E1E1E));
    EXPECT_EQ(c.StyleGetFore(0), ComponentColour(0xD4D4D4));  // every style took the default
    EXPECT_EQ(c.StyleGetFore(33), ComponentColour(0x858585));
    EXPECT_EQ(c.StyleGetBack(33), ComponentColour(0x1E1E1E));
}

TEST_F(EditorViewTest, CaretAndMarginsFollowTheWindowDpi) {
    // Under Wine the window reports what the display has (96 on Xvfb); the arithmetic for other DPIs
    // is covered by the pure functions, and SetDpi applies any of them.
    EXPECT_EQ(view().dpi(), static_cast<int32_t>(GetDpiForWindow(window_->editor())));
    EXPECT_EQ(call().CaretWidth(), CaretWidthForDpi(view().dpi()));
    EXPECT_EQ(call().MarginLeft(), TextMarginLeftForDpi(view().dpi()));
    for (const int32_t dpi : {144, 192, 96}) {
        SCOPED_TRACE(dpi);
        view().SetDpi(dpi);
        EXPECT_EQ(view().dpi(), dpi);
        EXPECT_EQ(call().CaretWidth(), CaretWidthForDpi(dpi));
        EXPECT_EQ(call().MarginLeft(), TextMarginLeftForDpi(dpi));
        EXPECT_EQ(call().MarginWidthN(0), LineNumberMarginWidth(call().TextWidth(33, "999"), dpi));
    }
}

TEST_F(EditorViewTest, SetTextLeavesTheDocumentUnmodifiedWithoutUndoAndTheCaretAtTheStart) {
    for (const std::string& text : {std::string("メモ\r\nsecond line"), std::string()}) {
        SCOPED_TRACE(text);
        call().AddText(3, "old");
        view().SetText(text);
        EXPECT_EQ(window_->Text(), text);
        EXPECT_FALSE(call().Modify());
        EXPECT_FALSE(call().CanUndo());
        EXPECT_EQ(call().CurrentPos(), 0);
        EXPECT_EQ(call().Anchor(), 0);
        // Undo collection is on again afterwards.
        call().AddText(1, "x");
        EXPECT_TRUE(call().CanUndo());
    }
}

TEST_F(EditorViewTest, LineNumberMarginWidensAtAThousandLinesAndNarrowsAgain) {
    view().SetText(Lines(999));
    const int width3 = call().MarginWidthN(0);
    EXPECT_EQ(view().lineNumberDigits(), 3);
    EXPECT_EQ(width3, LineNumberMarginWidth(call().TextWidth(33, "999"), view().dpi()));

    view().SetText(Lines(1000));
    EXPECT_EQ(view().lineNumberDigits(), 4);
    EXPECT_EQ(call().MarginWidthN(0), LineNumberMarginWidth(call().TextWidth(33, "9999"), view().dpi()));
    EXPECT_GT(call().MarginWidthN(0), width3);

    // Typing below the thousandth line: the unforced update compares digit counts.
    call().DocumentEnd();
    call().DeleteBack();
    call().DeleteBack();
    call().DeleteBack();
    call().DeleteBack();
    call().DeleteBack();
    call().DeleteBack();
    ASSERT_EQ(call().LineCount(), 999);
    view().UpdateLineNumberMargin(false);
    EXPECT_EQ(call().MarginWidthN(0), width3);

    // Unforced with an unchanged digit count sends nothing; forced sizes again.
    call().SetMarginWidthN(0, 5);
    view().UpdateLineNumberMargin(false);
    EXPECT_EQ(call().MarginWidthN(0), 5);
    view().UpdateLineNumberMargin(true);
    EXPECT_EQ(call().MarginWidthN(0), width3);
}

TEST_F(EditorViewTest, EmptyStateHidesCaretCaretLineAndLineNumbersOnce) {
    view().SetEmptyState(true);
    EXPECT_TRUE(view().emptyState());
    EXPECT_EQ(call().CaretStyle(), Scintilla::CaretStyle::Invisible);
    EXPECT_EQ(call().MarginWidthN(0), 0);
    EXPECT_NE(static_cast<uint32_t>(call().ElementColour(Element::CaretLineBack)),
              static_cast<uint32_t>(OpaqueComponentColour(kCaretLineBackRgb)));
    // While empty, margin updates do nothing.
    view().UpdateLineNumberMargin(true);
    EXPECT_EQ(call().MarginWidthN(0), 0);

    // The second call sends nothing: a caret style changed behind its back stays.
    call().SetCaretStyle(Scintilla::CaretStyle::Block);
    view().SetEmptyState(true);
    EXPECT_EQ(call().CaretStyle(), Scintilla::CaretStyle::Block);

    view().SetEmptyState(false);
    EXPECT_EQ(call().CaretStyle(), Scintilla::CaretStyle::Line);
    EXPECT_EQ(static_cast<uint32_t>(call().ElementColour(Element::CaretLineBack)),
              static_cast<uint32_t>(OpaqueComponentColour(kCaretLineBackRgb)));
    EXPECT_EQ(call().MarginWidthN(0), LineNumberMarginWidth(call().TextWidth(33, "999"), view().dpi()));
}

TEST_F(EditorViewTest, EditStateFollowsTextAndSelection) {
    struct Case {
        const char* name;
        std::string text;
        int anchor, caret;
        EditState expected;  // canPaste is the component's own answer and checked apart
    };
    const Case cases[] = {
        {"empty document", "", 0, 0, {false, false, false, false, false, false}},
        {"text, no selection", "abc", 1, 1, {false, false, true, true, false, true}},
        {"text, selection", "abc", 0, 2, {false, false, true, true, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view().SetText(c.text);
        call().SetSel(c.anchor, c.caret);
        const EditState state = view().GetEditState();
        EXPECT_EQ(state.canUndo, c.expected.canUndo);
        EXPECT_EQ(state.canRedo, c.expected.canRedo);
        EXPECT_EQ(state.canCut, c.expected.canCut);
        EXPECT_EQ(state.canCopy, c.expected.canCopy);
        EXPECT_EQ(state.canSelectAll, c.expected.canSelectAll);
        EXPECT_EQ(state.canPaste, call().CanPaste());
    }
    view().SetText("abc");
    call().AddText(1, "x");
    EXPECT_TRUE(view().GetEditState().canUndo);
    call().Undo();
    EXPECT_TRUE(view().GetEditState().canRedo);
}

TEST_F(EditorViewTest, ScrollWidthGrowsToTheVisibleLinesOnlyWithoutWrapping) {
    const std::string longLine(400, 'w');
    view().SetText("short\r\n" + longLine);
    view().UpdateScrollWidth();
    EXPECT_EQ(call().ScrollWidth(), 1) << "wrapping on: nothing changes";

    view().SetWrap(false);
    EXPECT_EQ(call().WrapMode(), Scintilla::Wrap::None);
    const int32_t widest = view().MeasureVisibleWidth();
    EXPECT_GT(widest, call().TextWidth(32, std::string(300, 'w').c_str()));
    view().UpdateScrollWidth();
    EXPECT_EQ(call().ScrollWidth(), widest);

    // It never shrinks here; ResetScrollWidth starts again.
    view().SetText("short");
    EXPECT_LT(view().MeasureVisibleWidth(), widest);
    view().UpdateScrollWidth();
    EXPECT_EQ(call().ScrollWidth(), widest);
    view().ResetScrollWidth();
    EXPECT_EQ(call().ScrollWidth(), 1);
    view().UpdateScrollWidth();
    EXPECT_EQ(call().ScrollWidth(), view().MeasureVisibleWidth());

    view().SetText("");
    EXPECT_EQ(view().MeasureVisibleWidth(), 0);
}

TEST_F(EditorViewTest, FontSizeIsClampedAndRestylesOnlyWhenItChanges) {
    struct Case {
        int32_t requested, expected;
    };
    const Case cases[] = {{100, 72}, {0, 6}, {17, 17}, {-3, 6}, {72, 72}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        view().SetFontSize(c.requested);
        EXPECT_EQ(view().fontSize(), c.expected);
        EXPECT_EQ(call().StyleGetSizeFractional(32), c.expected * 100);
    }
    // At the limits zoom changes nothing: a colour changed behind its back is not restyled away.
    const struct {
        int32_t start;
        void (EditorView::*zoom)();
    } limits[] = {{72, &EditorView::ZoomIn}, {6, &EditorView::ZoomOut}, {16, &EditorView::ResetFontSize}};
    for (const auto& limit : limits) {
        SCOPED_TRACE(limit.start);
        view().SetFontSize(limit.start);
        call().StyleSetFore(32, 0x123456);
        (view().*limit.zoom)();
        EXPECT_EQ(view().fontSize(), limit.start);
        EXPECT_EQ(call().StyleGetFore(32), 0x123456);
    }
    view().SetFontSize(20);
    view().ResetFontSize();
    EXPECT_EQ(view().fontSize(), 16);
    EXPECT_EQ(call().StyleGetSizeFractional(32), 1600);
    EXPECT_EQ(call().StyleGetFore(32), ComponentColour(0xD4D4D4));
    view().ZoomIn();
    EXPECT_EQ(view().fontSize(), 17);
    view().ZoomOut();
    view().ZoomOut();
    EXPECT_EQ(view().fontSize(), 15);
}

TEST_F(EditorViewTest, LargerTextWidensTheLineNumberMargin) {
    const int normal = call().MarginWidthN(0);
    view().SetFontSize(40);
    EXPECT_GT(call().MarginWidthN(0), normal);
    EXPECT_EQ(call().MarginWidthN(0), LineNumberMarginWidth(call().TextWidth(33, "999"), view().dpi()));
}

TEST_F(EditorViewTest, NoCompositionWithoutAnInputMethod) {
    EXPECT_FALSE(view().IsComposing());
    view().CompleteComposition();  // nothing to commit, nothing changes
    EXPECT_EQ(call().Length(), 0);
}

TEST_F(EditorViewTest, AFailureIsClearedSoTheEditorKeepsWorking) {
    // The status is sticky: once set, every later call throws.
    EXPECT_THROW(call().SetStatus(Scintilla::Status::Failure), Scintilla::Failure);
    EXPECT_THROW((void)call().Length(), Scintilla::Failure);
    EXPECT_THROW((void)call().Length(), Scintilla::Failure);
    view().RecoverFromFailure();
    EXPECT_NO_THROW(view().SetText("works again"));
    EXPECT_EQ(window_->Text(), "works again");

    // An operation that meets a failure reports it as failed, and what follows works.
    bool reachedTheEnd = false;
    EXPECT_FALSE(RunEditorOperation(call(), [&] {
        call().SetStatus(Scintilla::Status::BadAlloc);
        reachedTheEnd = true;
    }));
    EXPECT_FALSE(reachedTheEnd);
    EXPECT_EQ(call().Status(), Scintilla::Status::Ok);
    EXPECT_TRUE(RunEditorOperation(call(), [&] { view().SetText("saved"); }));
    EXPECT_EQ(window_->Text(), "saved");

    // Clearing a wrapper without a component does not throw either.
    Scintilla::ScintillaCall unattached;
    ClearComponentFailure(unattached);
    EXPECT_FALSE(RunEditorOperation(unattached, [&] { (void)unattached.Length(); }));
}

TEST_F(EditorViewTest, TheWindowIsAChildAtSizeZeroUntilLaidOut) {
    test::EditorTestWindow::PumpMessages();
    wchar_t className[32] = {};
    GetClassNameW(window_->editor(), className, 32);
    EXPECT_STREQ(className, L"Scintilla");
    EXPECT_EQ(GetParent(window_->editor()), window_->host());
    const LONG_PTR style = GetWindowLongPtrW(window_->editor(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP),
              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP);
    // A second host: creation does not depend on the first.
    EditorView second;
    ASSERT_TRUE(second.Create(window_->host(), GetModuleHandleW(nullptr)));
    RECT bounds{};
    GetWindowRect(second.hwnd(), &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 0);
    EXPECT_EQ(second.call().CodePage(), 65001);
    DestroyWindow(second.hwnd());
    EXPECT_FALSE(second.compat().attached());
}

}  // namespace
}  // namespace lq
