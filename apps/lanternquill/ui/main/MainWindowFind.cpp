#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "editor/EditorSearch.h"
#include "platform/TextConversion.h"
#include "ui/find/FindPanelText.h"
#include "ui/main/MainWindow.h"

// The main window's side of the floating find panel: opening it over the editor, the actions it
// reports, find next and previous (also with the panel closed), replacing in the open note, going to
// a line, and scrolling a hit into view where the panel does not hide it.
namespace lq {
namespace {

using Mode = FindPanel::Mode;
using Action = FindPanel::Action;

std::wstring WindowText(HWND window) {
    if (!window) return {};
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

// Sets the text only when it differs, so an unchanged edit reports no change.
void SetTextWhenDifferent(HWND edit, const std::wstring& text) {
    if (edit && WindowText(edit) != text) SetWindowTextW(edit, text.c_str());
}

// The panel's own flag: the panel counts as open whenever it was shown and not closed since.
bool IsShown(HWND window) {
    return window && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsPanelOpen(const std::unique_ptr<FindPanel>& panel) {
    return panel && IsShown(panel->hwnd);
}

// Where `window` lies in the client coordinates of `reference`.
RECT RectIn(HWND window, HWND reference) {
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The panel's not-found mark, repainted only when it changes.
void MarkNotFound(FindPanel& panel, bool notFound) {
    if (panel.notFound == notFound) return;
    panel.notFound = notFound;
    if (panel.hwnd) InvalidateRect(panel.hwnd, nullptr, FALSE);
}

// Floor division of a pixel offset by a line height (h > 0), so a line above the view counts as a
// negative row rather than row 0.
int64_t FloorDiv(int64_t value, int64_t divisor) {
    const int64_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

}  // namespace

void MainWindow::ShowFloating(FindPanel::Mode mode) {
    if (!findPanel) {
        auto panel = std::make_unique<FindPanel>();
        const bool made =
            panel->Create(hwnd, instance, dpi, [this](FindPanel::Action action) { OnFindPanelAction(action); });
        // A panel that could not be made whole goes with whatever it made.
        if (!made) return;
        findPanel = std::move(panel);
    }
    FindPanel& panel = *findPanel;
    auto& call = editor.call();

    if (mode == Mode::GoToLine) {
        panel.SetLineCount(call.LineCount());
    } else {
        const int64_t start = call.SelectionStart();
        const int64_t end = call.SelectionEnd();
        if (start < end && call.LineFromPosition(start) == call.LineFromPosition(end)) {
            const auto* bytes = static_cast<const char*>(call.RangePointer(start, end - start));
            if (bytes) {
                const std::wstring selected = Utf8ToUtf16(std::string_view(bytes, static_cast<size_t>(end - start)));
                // The change notification brings the text into findQuery.
                SetWindowTextW(panel.findEdit, selected.c_str());
            }
        } else {
            SetTextWhenDifferent(panel.findEdit, findQuery);
        }
        if (mode == Mode::Replace) SetTextWhenDifferent(panel.replaceEdit, replaceText);
    }

    const RECT host = editor.hwnd() ? RectIn(editor.hwnd(), hwnd) : RECT{};
    panel.SetHostRect(host);
    panel.mode = mode;
    panel.verticalOffset = 0;
    ShowWindow(panel.findEdit, mode != Mode::GoToLine ? SW_SHOWNA : SW_HIDE);
    ShowWindow(panel.replaceEdit, mode == Mode::Replace ? SW_SHOWNA : SW_HIDE);
    ShowWindow(panel.lineEdit, mode == Mode::GoToLine ? SW_SHOWNA : SW_HIDE);
    // Again, now with the mode's height and buttons.
    panel.SetHostRect(panel.hostRect);
    SetWindowPos(panel.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(panel.hwnd, nullptr, TRUE);

    if (mode == Mode::GoToLine) {
        SetWindowTextW(panel.lineEdit, L"");
        SetFocus(panel.lineEdit);
        return;
    }
    SetFocus(panel.findEdit);
    SendMessageW(panel.findEdit, EM_SETSEL, 0, -1);

    // A selection whose start the panel now hides is brought out from under it.
    const int64_t start = call.SelectionStart();
    const int64_t end = call.SelectionEnd();
    if (start == end || !editor.hwnd()) return;
    const RECT cover = RectIn(panel.hwnd, editor.hwnd());
    const int y = call.PointYFromPosition(start);
    const int height = call.TextHeight(call.LineFromPosition(start));
    const bool covered = y < cover.bottom && cover.top < y + height && call.PointXFromPosition(start) < cover.right &&
                         call.PointXFromPosition(end) > cover.left;
    if (covered) ScrollRangeIntoView(EditorRange{start, end});
}

bool MainWindow::CloseFloating() {
    if (IsPanelOpen(findPanel)) {
        ShowWindow(findPanel->hwnd, SW_HIDE);
        SetFocus(editor.hwnd());
        return true;
    }
    if (CloseGlobalView()) {
        SetFocus(editor.hwnd());
        return true;
    }
    return false;
}

void MainWindow::OnFindPanelAction(FindPanel::Action action) {
    if (!findPanel) return;
    FindPanel& panel = *findPanel;
    auto& call = editor.call();
    try {
        switch (action) {
            case Action::FindNext:
                FindNext(true);
                break;
            case Action::FindPrevious:
                FindNext(false);
                break;
            case Action::Replace: {
                const std::wstring query = WindowText(panel.findEdit);
                if (query.empty()) return;
                findQuery = query;
                const std::string find = Utf16ToUtf8(query);
                const std::string replacement = Utf16ToUtf8(WindowText(panel.replaceEdit));
                SetSmartCaseSearchFlags(call, find);
                const int64_t start = call.SelectionStart();
                const int64_t end = call.SelectionEnd();
                // Only a selection that is exactly one occurrence is replaced; a read-only document
                // would not change, yet the caret would move as if it had.
                if (start < end && !call.ReadOnly()) {
                    const EditorMatch match = SearchInRange(call, find, start, end);
                    if (match.found && match.start == start && match.end == end) {
                        call.SetTargetRange(start, end);
                        const int64_t inserted = call.ReplaceTarget(replacement);
                        call.SetEmptySelection(start + inserted);
                    }
                }
                (void)FindInEditor(call, find, true);
                const bool nothingSelected = call.SelectionEmpty();
                MarkNotFound(panel, nothingSelected);
                if (!nothingSelected) ScrollRangeIntoView(EditorRange{call.SelectionStart(), call.SelectionEnd()});
                break;
            }
            case Action::ReplaceAll: {
                const std::wstring query = WindowText(panel.findEdit);
                if (query.empty()) return;
                findQuery = query;
                const int32_t count =
                    ReplaceAllInEditor(call, Utf16ToUtf8(query), Utf16ToUtf8(WindowText(panel.replaceEdit)));
                MarkNotFound(panel, count == 0);
                break;
            }
            case Action::GoToLine: {
                const std::wstring typed = WindowText(panel.lineEdit);
                if (typed.empty()) return;
                const int64_t line = TargetLine(ParseLineNumber(typed), call.LineCount());
                call.GotoLine(line - 1);
                CloseFloating();
                const int64_t caret = call.CurrentPos();
                ScrollRangeIntoView(EditorRange{caret, caret});
                break;
            }
            case Action::FindTextChanged:
                findQuery = WindowText(panel.findEdit);
                break;
            case Action::ReplaceTextChanged:
                replaceText = WindowText(panel.replaceEdit);
                break;
            default:
                break;
        }
    } catch (const Scintilla::Failure&) {
        // The panel's message is not the main window's: the failure ends here, and the editor must
        // keep working after it.
        editor.RecoverFromFailure();
    }
}

void MainWindow::FindNext(bool forward) {
    const bool fromPanel = IsPanelOpen(findPanel) && findPanel->mode != Mode::GoToLine;
    const std::wstring query = fromPanel ? WindowText(findPanel->findEdit) : findQuery;
    if (query.empty()) return;
    findQuery = query;
    const EditorMatch match = FindInEditor(editor.call(), Utf16ToUtf8(query), forward);
    if (findPanel) MarkNotFound(*findPanel, !match.found);
    if (match.found) {
        ScrollRangeIntoView(EditorRange{match.start, match.end});
    } else if (!fromPanel) {
        SetNotFound(true);
    }
}

void MainWindow::SetNotFound(bool notFound) {
    if (!status.SetNotFound(notFound) || !hwnd) return;
    const RECT strip = StatusStripRect();
    InvalidateRect(hwnd, &strip, FALSE);
}

void MainWindow::ScrollRangeIntoView(EditorRange range) {
    auto& call = editor.call();
    const int64_t line = call.LineFromPosition(range.start);
    call.EnsureVisible(line);
    const int height = call.TextHeight(line);
    const int64_t rows = call.LinesOnScreen();
    if (height > 0 && rows > 0) {
        const int64_t row = FloorDiv(call.PointYFromPosition(range.start), height);
        const int64_t margin = std::min<int64_t>(rows / 4, 3);
        // Near an edge or outside the view: the line goes to the middle.
        if (row < margin || row > rows - margin - 1) call.LineScroll(0, row - (rows - 1) / 2);
    }
    // The start has priority.
    call.ScrollRange(range.end, range.start);

    if (!IsPanelOpen(findPanel) || !editor.hwnd()) return;
    FindPanel& panel = *findPanel;
    if (panel.verticalOffset != 0) {
        panel.verticalOffset = 0;
        panel.SetHostRect(panel.hostRect);
    }
    const RECT cover = RectIn(panel.hwnd, editor.hwnd());
    const int xStart = call.PointXFromPosition(range.start);
    const int xEnd = call.PointXFromPosition(range.end);
    const bool multiLine = call.LineFromPosition(range.end) != line;
    auto isCovered = [&](int y) {
        return y < cover.bottom && cover.top < y + height && (multiLine || (cover.left < xEnd && xStart < cover.right));
    };
    int y = call.PointYFromPosition(range.start);
    if (isCovered(y) && height > 0) {
        // The text moves down until the hit's line is below the panel.
        call.LineScroll(0, -((cover.bottom - y + height - 1) / height));
        y = call.PointYFromPosition(range.start);
    }
    if (!isCovered(y)) return;
    // The document cannot scroll so far: the panel moves down below the hit's line instead.
    const int32_t offset = std::max(0, y + height + MulDiv(8, dpi, 96) - static_cast<int>(cover.top));
    if (offset != panel.verticalOffset) {
        panel.verticalOffset = offset;
        panel.SetHostRect(panel.hostRect);
    }
}

}  // namespace lq
