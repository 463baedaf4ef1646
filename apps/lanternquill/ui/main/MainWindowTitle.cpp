#include "ui/main/MainWindow.h"

#include "platform/TextConversion.h"
#include "ui/commands/NoteCommandRules.h"
#include "workspace/Workspace.h"

// The refresh steps that the note commands and many other flows end with: caption, status strip,
// open-note marker and the transient notice; and the two values a new note is made from.
namespace lq {
namespace {

void InvalidateStrip(const MainWindow& window) {
    if (!window.hwnd) return;
    const RECT strip = window.StatusStripRect();
    InvalidateRect(window.hwnd, &strip, FALSE);
}

}  // namespace

void MainWindow::UpdateTitle() {
    const std::wstring current = workspace ? Utf8ToUtf16(workspace->CurrentTitle()) : std::wstring();
    if (hwnd) SetWindowTextW(hwnd, WindowTitleText(current).c_str());
}

void MainWindow::UpdateStatus() {
    if (editor.hwnd()) {
        status.RecountTotal(editor.call());
        (void)status.Update(editor.call(), StatusInfo::kUpdateRefresh);
    }
    (void)status.SetSaveFailed(workspace != nullptr && workspace->lastSaveFailed);
    InvalidateStrip(*this);
}

void MainWindow::UpdateTitleAndStatus() {
    if (!workspace) return;
    sidebar.SetOpenNote(workspace->currentNoteId);
    UpdateTitle();
    UpdateStatus();
}

void MainWindow::SetStatusMessage(std::wstring message) {
    if (status.SetNotice(message)) InvalidateStrip(*this);
}

int64_t MainWindow::CurrentProjectId() const {
    if (!workspace) return 0;
    // The sidebar's selection decides, so a new note lands where the user is looking.
    if (const std::optional<TreeItemKey> selected = sidebar.GetSelection()) {
        if (selected->isProject) return selected->id;
        if (const std::optional<int64_t> project = workspace->tree.ProjectOfNote(selected->id)) return *project;
    }
    return workspace->currentProjectId;
}

std::string MainWindow::TodayTitle() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return DateTitle(now);
}

}  // namespace lq
