#include "workspace/BackgroundDocumentSwap.h"

#include <utility>

#include "editor/EditorFailure.h"
#include "editor/EditorView.h"
#include "workspace/Workspace.h"

namespace lq {

BackgroundDocumentSwap::BackgroundDocumentSwap(Workspace& workspace) : workspace_(workspace) {
    auto& call = workspace_.editor.call();
    original_ = call.DocPointer();
    // The editor's reference goes when another document is attached; ours keeps the original alive.
    call.AddRefDocument(original_);
    if (workspace_.currentNoteId != 0) {
        if (auto found = workspace_.viewStates.find(workspace_.currentNoteId); found != workspace_.viewStates.end()) {
            view_ = found->second;
        }
    }
    SendMessageW(workspace_.editor.hwnd(), WM_SETREDRAW, FALSE, 0);
}

BackgroundDocumentSwap::~BackgroundDocumentSwap() {
    if (restored_) return;
    restored_ = true;
    auto& call = workspace_.editor.call();
    try {
        ReattachAndRestoreView();
    } catch (const Scintilla::Failure&) {
        // Leaving by a failure, whose sticky status fails every call: clear it and try once more.
        // The failure in flight still reaches its catcher.
        ClearComponentFailure(call);
        try {
            ReattachAndRestoreView();
        } catch (...) {
            ClearComponentFailure(call);
        }
    } catch (...) {
    }
    RedrawOn();
}

void BackgroundDocumentSwap::Attach(void* document) {
    workspace_.editor.call().SetDocPointer(document);
}

void BackgroundDocumentSwap::Restore() {
    if (restored_) return;
    struct RedrawGuard {
        BackgroundDocumentSwap* swap;
        ~RedrawGuard() { swap->RedrawOn(); }
    } redraw{this};
    ReattachAndRestoreView();
    // Only now: a failure on the way leaves the rest (our reference, the view) to the destructor.
    restored_ = true;
}

void BackgroundDocumentSwap::ReattachAndRestoreView() {
    auto& call = workspace_.editor.call();
    if (original_ != nullptr) {
        // A failing call has still been carried out; attaching twice is harmless, releasing twice
        // would free the document the editor shows, so the reference is given up before the call.
        call.SetDocPointer(original_);
        call.ReleaseDocument(std::exchange(original_, nullptr));
    }
    workspace_.editor.UpdateLineNumberMargin(false);
    if (view_) workspace_.RestoreViewState(*view_);
}

void BackgroundDocumentSwap::RedrawOn() noexcept {
    const HWND hwnd = workspace_.editor.hwnd();
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace lq
