#include <exception>

#include "editor/EditorFonts.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/frame/MainWindowGeometry.h"
#include "ui/main/HandlerScope.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowHandlers.h"
#include "workspace/Workspace.h"

namespace lq {
namespace {

constexpr COLORREF kEditText = RGB(0xCC, 0xCC, 0xCC);
constexpr COLORREF kEditBack = RGB(0x3C, 0x3C, 0x3C);
constexpr COLORREF kListBack = RGB(0x25, 0x25, 0x26);

void OnDestroy(MainWindow& window) {
    RemovePropW(window.hwnd, kInstanceProperty);
    RemovePropW(window.hwnd, kWordsFilledProperty);
    if (window.workspace) {
        // The editor window still exists: its documents go back to it now.
        window.workspace->ReleaseDocuments();
        window.workspace = nullptr;
    }
    // The fill reads through the workspace, which does not outlive the window by much.
    window.completion.SetProvider({});
    window.wordFill.reset();
    if (window.uiFont) {
        DeleteObject(window.uiFont);
        window.uiFont = nullptr;
    }
    if (window.mainMenu) {
        const int count = GetMenuItemCount(window.mainMenu);
        for (int i = 0; i < count; ++i) {
            if (HMENU popup = GetSubMenu(window.mainMenu, i)) window.darkMenu.ForgetMenu(popup);
        }
        DestroyMenu(window.mainMenu);
        window.mainMenu = nullptr;
    }
    PostQuitMessage(0);
}

LRESULT OnActivate(MainWindow& window, WPARAM wParam, LPARAM lParam) {
    const UINT state = LOWORD(wParam);
    const bool active = state != WA_INACTIVE;
    window.clickActivated = state == WA_CLICKACTIVE;
    window.swallowUntilButtonUp = false;
    if (window.titleBarMode == TitleBarMode::CaptionColours) ApplyDarkTitleBar(window.hwnd, active);
    // The strip's labels dim with the window; leaving it also leaves the strip's keyboard mode.
    if (window.menuBar.toolbar()) window.menuBar.OnOwnerActivate(active);
    if (!active) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window.hwnd, focus)) window.lastFocus = focus;
        // While a close is under way its own save (and its question) is in charge.
        if (!window.closing) window.SaveNow(SaveReason::Deactivated);
    }
    return DefWindowProcW(window.hwnd, WM_ACTIVATE, wParam, lParam);
}

void OnSetFocus(MainWindow& window) {
    const HWND last = window.lastFocus;
    if (last && IsWindow(last) && IsChild(window.hwnd, last) && IsWindowVisible(last)) {
        SetFocus(last);
    } else if (window.editor.hwnd()) {
        SetFocus(window.editor.hwnd());
    }
}

// A save that throws is a failed save: closing must then ask, never destroy the window unsaved.
SaveResult SaveForClosing(MainWindow& window) {
    try {
        return window.workspace->SaveAll(SaveReason::Closing);
    } catch (const Scintilla::Failure&) {
        window.editor.RecoverFromFailure();
    } catch (const std::exception&) {
    }
    return SaveResult::Failed;
}

// Set while a close is handled, however the handling is left.
class CloseRunning {
public:
    explicit CloseRunning(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~CloseRunning() { flag_ = false; }
    CloseRunning(const CloseRunning&) = delete;
    CloseRunning& operator=(const CloseRunning&) = delete;

private:
    bool& flag_;
};

void OnClose(MainWindow& window) {
    // The question below runs a message loop: a second close (the close box again, Alt+F4) must not
    // run inside the first, where it could destroy the window under it.
    if (window.closeRunning) return;
    const CloseRunning running(window.closeRunning);
    window.closing = true;
    if (window.workspace) {
        // Before the timer goes: committing a composition edits the note, which arms it again.
        window.FinishInputBeforeSave();
        KillTimer(window.hwnd, kAutosaveTimerId);
        SaveResult result = SaveForClosing(window);
        while (result == SaveResult::Failed) {
            const UnsavedChoice choice = AskUnsavedOnExit(window.hwnd, window.instance);
            // Whatever the question's loop delivered may have destroyed the window or let its notes go.
            if (!window.hwnd || !IsWindow(window.hwnd) || !window.workspace) return;
            if (choice == UnsavedChoice::Cancel) {
                // The window stays open with its edits; autosave goes on trying.
                window.closing = false;
                window.UpdateSaveFailedIndicator();
                if (window.workspace && window.workspace->HasUnsavedEditorChanges()) {
                    SetTimer(window.hwnd, kAutosaveTimerId, kAutosaveDelayMs, nullptr);
                }
                return;
            }
            if (choice == UnsavedChoice::ExitWithoutSaving) break;
            result = SaveForClosing(window);
        }
    }
    DestroyWindow(window.hwnd);
}

void OnAutosaveTimer(MainWindow& window) {
    KillTimer(window.hwnd, kAutosaveTimerId);
    if (!window.workspace || !window.workspace->HasUnsavedEditorChanges()) return;
    // Saving in the middle of a composition would store half a word: wait for it to end.
    if (window.editor.IsComposing()) {
        SetTimer(window.hwnd, kAutosaveTimerId, kAutosaveDelayMs, nullptr);
        return;
    }
    window.SaveNow(SaveReason::Timer);
}

void OnDpiChanged(MainWindow& window, WPARAM wParam, LPARAM lParam) {
    window.dpi = HIWORD(wParam);
    if (HFONT font = CreateUiFont(window.dpi)) {
        if (window.uiFont) DeleteObject(window.uiFont);
        window.uiFont = font;
    }
    window.sidebar.SetDpi(window.dpi);
    window.menuBar.SetDpi(window.dpi);
    if (window.findPanel) {
        window.findPanel->dpi = window.dpi;
        window.findPanel->ApplyFont();
        window.findPanel->SetHostRect(window.findPanel->hostRect);
    }
    if (window.globalView) {
        window.globalView->SetDpi(static_cast<uint32_t>(window.dpi));
        window.globalView->UpdateFonts();
    }
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
        SetWindowPos(window.hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (HWND editorWindow = window.editor.hwnd()) {
        SendMessageW(editorWindow, WM_DPICHANGED, wParam, lParam);
        window.editor.SetDpi(window.dpi);
    }
    window.Layout();
    InvalidateRect(window.hwnd, nullptr, TRUE);
}

void OnLabelEditRequest(MainWindow& window, LPARAM lParam) {
    if (!window.workspace) return;
    const TreeItemKey key = DecodeTreeItemParam(static_cast<int64_t>(lParam));
    window.PeekSidebar();
    if (!window.sidebar.EditLabel(key)) window.EndSidebarPeek();
}

// After a handler failed part-way, for the messages whose default processing would cost edits:
// WM_CLOSE would destroy the window unsaved, and a failed autosave tick or edit notification would
// leave an edit with no save ahead of it. The window stays open and autosave looks again (it saves
// only what is still unsaved). True when the message is answered here.
bool KeepEditsAfterFailure(MainWindow& window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (!window.hwnd || !IsWindow(window.hwnd)) return false;
    switch (message) {
        case WM_CLOSE:
            window.closing = false;
            SetTimer(window.hwnd, kAutosaveTimerId, kAutosaveDelayMs, nullptr);
            return true;
        case WM_TIMER:
            if (wParam != kAutosaveTimerId) return false;
            SetTimer(window.hwnd, kAutosaveTimerId, kAutosaveDelayMs, nullptr);
            return true;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && header->hwndFrom && header->hwndFrom == window.editor.hwnd() &&
                header->code == SCN_MODIFIED && window.workspace) {
                SetTimer(window.hwnd, kAutosaveTimerId, kAutosaveDelayMs, nullptr);
            }
            return false;
        }
        default:
            return false;
    }
}

LRESULT ColourEdit(HDC dc) {
    SetTextColor(dc, kEditText);
    SetBkColor(dc, kEditBack);
    SetDCBrushColor(dc, kEditBack);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

LRESULT ColourList(HDC dc) {
    SetBkColor(dc, kListBack);
    SetDCBrushColor(dc, kListBack);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

}  // namespace

LRESULT CALLBACK MainWindow::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd = window;
            const UINT windowDpi = GetDpiForWindow(window);
            self->dpi = windowDpi != 0 ? static_cast<int32_t>(windowDpi) : 96;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_CLOSE && self->DeferCloseWhileBusy()) return 0;
    const HandlerScope handling(*self);
    // Nothing may be thrown across the system's call; a failed handler falls back to default
    // processing (unless that would cost edits), and an editor failure's sticky status is cleared so
    // the editor keeps working.
    try {
        return self->WndProc(message, wParam, lParam);
    } catch (const Scintilla::Failure&) {
        self->editor.RecoverFromFailure();
    } catch (...) {
    }
    if (KeepEditsAfterFailure(*self, message, wParam, lParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT activateMessage = ActivateMessageId();
    if (activateMessage != 0 && message == activateMessage) {
        if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
        SetForegroundWindow(hwnd);
        return 1;
    }

    switch (message) {
        case WM_DESTROY:
            OnDestroy(*this);
            return 0;
        case WM_NCDESTROY: {
            const HWND window = hwnd;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            hwnd = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        case WM_SIZE:
            Layout();
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_ACTIVATE:
            return OnActivate(*this, wParam, lParam);
        case WM_SETFOCUS:
            OnSetFocus(*this);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(hwnd, &paint);
            if (dc) Paint(dc, paint.rcPaint);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT client{};
            GetClientRect(hwnd, &client);
            Paint(reinterpret_cast<HDC>(wParam), client);
            return 0;
        }
        case WM_CLOSE:
            OnClose(*this);
            return 0;
        case WM_QUERYENDSESSION:
        case WM_ERASEBKGND:
            return 1;
        case WM_ENDSESSION:
            if (wParam) {
                FinishInputBeforeSave();
                SaveNow(SaveReason::EndSession);
            }
            return 0;
        case WM_SETCURSOR:
            // Children that leave the cursor to their parent (the tree, the panels) show it too.
            if (waitCursorShown && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return 1;
            }
            if (LOWORD(lParam) == HTCLIENT && SetSplitterCursor(*this, lParam)) return 1;
            break;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = POINT{ScaleDip(640, dpi), ScaleDip(400, dpi)};
            return 0;
        }
        case WM_DRAWITEM: {
            const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (darkMenu.OnDrawItem(draw)) return 1;
            if (globalView && globalView->OnDrawItem(draw)) return 1;
            break;
        }
        case WM_MEASUREITEM: {
            darkMenu.UpdateFont(dpi);
            auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (darkMenu.OnMeasureItem(measure)) return 1;
            if (globalView && measure.CtlType == ODT_LISTBOX) {
                measure.itemHeight = static_cast<UINT>(MulDiv(52, static_cast<int>(globalView->dpi()), 96));
                return 1;
            }
            break;
        }
        case WM_NOTIFY:
            return OnMainWindowNotify(*this, wParam, lParam);
        case WM_CONTEXTMENU: {
            const auto from = reinterpret_cast<HWND>(wParam);
            if (from && from == editor.hwnd()) {
                ShowEditorContextMenu(lParam);
                return 0;
            }
            if (from && from == sidebar.hwnd()) {
                ShowSidebarContextMenu(*this, lParam);
                return 0;
            }
            break;
        }
        case WM_COMMAND:
            return OnMainWindowCommand(*this, wParam, lParam);
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_KEYMENU && menuBar.OnSysChar(static_cast<wchar_t>(LOWORD(lParam)))) return 0;
            break;
        case WM_TIMER:
            if (wParam == kAutosaveTimerId) {
                OnAutosaveTimer(*this);
                return 0;
            }
            break;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_CTLCOLOREDIT:
            return ColourEdit(reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLORLISTBOX:
            return ColourList(reinterpret_cast<HDC>(wParam));
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
        case WM_MOUSELEAVE:
            OnMainWindowMouse(*this, message, lParam);
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMSUSPEND) SaveNow(SaveReason::Suspend);
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChanged(*this, wParam, lParam);
            return 0;
        case kLabelEditDoneMessage:
            CompleteLabelEdit();
            return 0;
        case kLabelEditRequestMessage:
            OnLabelEditRequest(*this, lParam);
            return 0;
        case kCaretFixUpMessage:
            FixCaretAfterClick(*this);
            return 0;
        case kTreeMenuChoiceMessage:
            RunTreeMenuChoice(static_cast<UINT>(wParam),
                              lParam != 0
                                  ? std::optional<TreeItemKey>(DecodeTreeItemParam(static_cast<int64_t>(lParam)))
                                  : std::nullopt);
            return 0;
        case kSidebarReportMessage:
            OnSidebarReport(*this, wParam, lParam);
            return 0;
        default:
            break;
    }
    const DefaultProcessingScope system(*this);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace lq
