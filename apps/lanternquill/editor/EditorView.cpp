#include "editor/EditorView.h"

#include <imm.h>
#include <uxtheme.h>

#include <algorithm>

#include "editor/EditorColours.h"
#include "editor/EditorFailure.h"
#include "editor/EditorFonts.h"
#include "editor/EditorKeyMap.h"
#include "platform/TextConversion.h"

namespace lq {
namespace {

using Scintilla::Element;
using Scintilla::FunctionDirect;

constexpr int kDefaultStyle = 32;     // STYLE_DEFAULT
constexpr int kLineNumberStyle = 33;  // STYLE_LINENUMBER

// The input context of a window, released however the caller leaves.
class InputContext {
public:
    explicit InputContext(HWND hwnd) noexcept : hwnd_(hwnd), context_(hwnd ? ImmGetContext(hwnd) : nullptr) {}
    ~InputContext() {
        if (context_) ImmReleaseContext(hwnd_, context_);
    }
    InputContext(const InputContext&) = delete;
    InputContext& operator=(const InputContext&) = delete;
    [[nodiscard]] HIMC get() const noexcept { return context_; }

private:
    HWND hwnd_;
    HIMC context_;
};

bool IsComposingIn(HIMC context) noexcept {
    // A negative length is an error report: no composition to speak of.
    return context && ImmGetCompositionStringW(context, GCS_COMPSTR, nullptr, 0) > 0;
}

}  // namespace

bool EditorView::Create(HWND parent, HINSTANCE instance) {
    hwnd_ = CreateWindowExW(0, L"Scintilla", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0, 0,
                            parent, nullptr, instance, nullptr);
    if (!hwnd_) return false;

    const auto function = reinterpret_cast<FunctionDirect>(SendMessageW(hwnd_, SCI_GETDIRECTSTATUSFUNCTION, 0, 0));
    const auto pointer = static_cast<intptr_t>(SendMessageW(hwnd_, SCI_GETDIRECTPOINTER, 0, 0));
    call_.SetFnPtr(function, pointer);
    // Without the subclass the editor still edits; only the emulated keys and list rule are missing.
    (void)compat_.Attach(hwnd_, &call_);

    SetWindowTheme(hwnd_, L"DarkMode_Explorer", nullptr);
    dpi_ = static_cast<int32_t>(GetDpiForWindow(hwnd_));
    if (dpi_ <= 0) dpi_ = kDefaultDpi;
    fontFace_ = PickInstalledFont(kEditorFaces);

    call_.SetTechnology(Scintilla::Technology::Default);
    call_.SetBufferedDraw(true);
    call_.SetLayoutCache(Scintilla::LineCache::Page);

    // The host's own document: the window holds the only reference once it is attached.
    void* document = call_.CreateDocument(0, Scintilla::DocumentOption::StylesNone);
    call_.SetDocPointer(document);
    call_.ReleaseDocument(document);
    ApplyDocumentDefaults();

    call_.SetFontLocale("ja-JP");
    call_.SetIMEInteraction(Scintilla::IMEInteraction::Inline);
    call_.UsePopUp(Scintilla::PopUp::Never);
    call_.SetModEventMask(Scintilla::ModificationFlags::InsertText | Scintilla::ModificationFlags::DeleteText);
    call_.SetCommandEvents(false);
    call_.SetMultipleSelection(false);
    call_.SetAdditionalSelectionTyping(true);
    call_.SetMouseSelectionRectangularSwitch(true);
    call_.SetScrollWidth(1);
    call_.SetScrollWidthTracking(true);
    call_.SetWrapIndentMode(Scintilla::WrapIndentMode::Same);
    call_.SetMarginTypeN(0, Scintilla::MarginType::Number);
    call_.SetMarginWidthN(1, 0);
    call_.SetMarginWidthN(2, 0);
    call_.SetCaretPeriod(0);

    call_.SetElementColour(Element::CaretLineBack, OpaqueComponentColour(kCaretLineBackRgb));
    call_.SetCaretLineVisibleAlways(true);
    ApplySelectionColours();

    ApplyEditorKeyMap(compat_);
    call_.SetWrapMode(wrap_ ? Scintilla::Wrap::Char : Scintilla::Wrap::None);
    ApplyFont();
    call_.SetCaretWidth(CaretWidthForDpi(dpi_));
    call_.SetMarginLeft(TextMarginLeftForDpi(dpi_));
    UpdateLineNumberMargin(true);
    return true;
}

void EditorView::ApplySelectionColours() {
    call_.SetElementColour(Element::Caret, OpaqueComponentColour(kCaretRgb));
    call_.SetElementColour(Element::SelectionBack, OpaqueComponentColour(kSelectionBackRgb));
    call_.SetElementColour(Element::SelectionText, OpaqueComponentColour(kSelectionTextRgb));
    call_.SetElementColour(Element::SelectionAdditionalBack, OpaqueComponentColour(kSelectionBackRgb));
    call_.SetElementColour(Element::SelectionAdditionalText, OpaqueComponentColour(kSelectionTextRgb));
    call_.SetElementColour(Element::SelectionInactiveBack, OpaqueComponentColour(kInactiveSelectionBackRgb));
    call_.SetElementColour(Element::SelectionInactiveText, OpaqueComponentColour(kInactiveSelectionTextRgb));
#ifdef SC_ELEMENT_SELECTION_INACTIVE_ADDITIONAL_BACK
    call_.SetElementColour(static_cast<Element>(SC_ELEMENT_SELECTION_INACTIVE_ADDITIONAL_BACK),
                           OpaqueComponentColour(kInactiveSelectionBackRgb));
    call_.SetElementColour(static_cast<Element>(SC_ELEMENT_SELECTION_INACTIVE_ADDITIONAL_TEXT),
                           OpaqueComponentColour(kInactiveSelectionTextRgb));
#endif
    // Otherwise inactive additional selections take the inactive selection colours above.
}

void EditorView::ApplyDocumentDefaults() {
    call_.SetCodePage(65001);
    call_.SetEOLMode(Scintilla::EndOfLine::CrLf);
    call_.SetPasteConvertEndings(true);
    call_.SetTabWidth(8);
    call_.SetUseTabs(true);
    call_.SetTabIndents(false);
}

void EditorView::ApplyFont() {
    const std::string face = Utf16ToUtf8(fontFace_);
    call_.StyleSetFont(kDefaultStyle, face.c_str());
    call_.StyleSetSizeFractional(kDefaultStyle, fontSize_ * 100);
    call_.StyleSetFore(kDefaultStyle, ComponentColour(kEditorTextRgb));
    call_.StyleSetBack(kDefaultStyle, ComponentColour(kEditorBackRgb));
    call_.StyleClearAll();
    call_.StyleSetFore(kLineNumberStyle, ComponentColour(kLineNumberTextRgb));
    call_.StyleSetBack(kLineNumberStyle, ComponentColour(kLineNumberBackRgb));
}

void EditorView::SetText(std::string_view text) {
    call_.SetUndoCollection(false);
    call_.ClearAll();
    if (!text.empty()) call_.AddText(static_cast<Scintilla::Position>(text.size()), text.data());
    call_.SetUndoCollection(true);
    call_.EmptyUndoBuffer();
    call_.SetSavePoint();
    call_.GotoPos(0);
    UpdateLineNumberMargin(false);
}

void EditorView::SetFontSize(int32_t points) {
    const int32_t size = ClampFontSize(points);
    if (size == fontSize_) return;
    fontSize_ = size;
    ApplyFont();
    UpdateLineNumberMargin(true);
}

void EditorView::ResetFontSize() {
    if (fontSize_ == kDefaultFontSize) return;
    fontSize_ = kDefaultFontSize;
    ApplyFont();
    UpdateLineNumberMargin(true);
}

void EditorView::SetWrap(bool wrap) {
    wrap_ = wrap;
    call_.SetWrapMode(wrap_ ? Scintilla::Wrap::Char : Scintilla::Wrap::None);
}

void EditorView::ResetScrollWidth() { call_.SetScrollWidth(1); }

int32_t EditorView::MeasureVisibleWidth() {
    const int32_t margins = call_.MarginWidthN(0) + call_.MarginLeft();
    const int32_t xOffset = call_.XOffset();
    const Scintilla::Line first = call_.FirstVisibleLine();
    const Scintilla::Line onScreen = call_.LinesOnScreen();
    const Scintilla::Line lines = call_.LineCount();
    int32_t widest = 0;
    for (Scintilla::Line i = 0; i <= onScreen; ++i) {
        const Scintilla::Line line = call_.DocLineFromVisible(first + i);
        if (line >= lines) break;
        const int32_t x = call_.PointXFromPosition(call_.LineEndPosition(line)) + xOffset - margins;
        widest = std::max(widest, x);
    }
    return widest;
}

void EditorView::UpdateScrollWidth() {
    if (wrap_) return;
    const int32_t width = MeasureVisibleWidth();
    if (call_.ScrollWidth() < width) call_.SetScrollWidth(width);
}

void EditorView::SetEmptyState(bool empty) {
    if (empty == emptyState_) return;
    emptyState_ = empty;
    call_.SetCaretStyle(empty ? Scintilla::CaretStyle::Invisible : Scintilla::CaretStyle::Line);
    if (empty) {
        call_.ResetElementColour(Element::CaretLineBack);
        call_.SetMarginWidthN(0, 0);
    } else {
        call_.SetElementColour(Element::CaretLineBack, OpaqueComponentColour(kCaretLineBackRgb));
        UpdateLineNumberMargin(true);
    }
}

void EditorView::UpdateLineNumberMargin(bool force) {
    if (emptyState_) return;
    const int32_t digits = LineNumberDigits(call_.LineCount());
    if (!force && digits == lineNumberDigits_) return;
    lineNumberDigits_ = digits;
    const std::string nines(static_cast<size_t>(digits), '9');
    const int32_t textWidth = call_.TextWidth(kLineNumberStyle, nines.c_str());
    call_.SetMarginWidthN(0, LineNumberMarginWidth(textWidth, dpi_));
}

void EditorView::SetDpi(int32_t dpi) {
    dpi_ = dpi > 0 ? dpi : kDefaultDpi;
    call_.SetCaretWidth(CaretWidthForDpi(dpi_));
    call_.SetMarginLeft(TextMarginLeftForDpi(dpi_));
    UpdateLineNumberMargin(true);
}

EditState EditorView::GetEditState() {
    EditState state;
    state.canUndo = call_.CanUndo();
    state.canRedo = call_.CanRedo();
    const bool hasText = call_.Length() > 0;
    // With an empty selection cut and copy take the caret's line, so only an empty document has none.
    state.canCut = state.canCopy = hasText || !call_.SelectionEmpty();
    state.canPaste = call_.CanPaste();
    state.canSelectAll = hasText;
    return state;
}

bool EditorView::IsComposing() const noexcept {
    const InputContext context(hwnd_);
    return IsComposingIn(context.get());
}

void EditorView::CompleteComposition() noexcept {
    const InputContext context(hwnd_);
    if (IsComposingIn(context.get())) ImmNotifyIME(context.get(), NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
}

void EditorView::RecoverFromFailure() noexcept { ClearComponentFailure(call_); }

}  // namespace lq
