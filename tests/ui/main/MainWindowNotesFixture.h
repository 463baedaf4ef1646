#pragma once

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "ui/commands/NoteCommandRules.h"
#include "ui/sidebar/TreeRows.h"

namespace lq::test {

// The main window with helpers for the note and project commands: the sidebar's rows as text, its
// selection and its label edit box, and the caption.
class MainWindowNotesFixture : public MainWindowFixture {
protected:
    [[nodiscard]] HWND tree() const { return main->sidebar.hwnd(); }
    [[nodiscard]] std::optional<TreeItemKey> Selection() const { return main->sidebar.GetSelection(); }
    [[nodiscard]] HWND EditBox() const { return TreeView_GetEditControl(tree()); }

    // Ends the open label edit as the user would: with `text` typed and Enter, or with Esc when no
    // text is given; then lets the posted completion run.
    void FinishLabelEdit(std::optional<std::wstring> text) {
        HWND edit = EditBox();
        ASSERT_NE(edit, nullptr) << "no label edit is open";
        if (text) SetWindowTextW(edit, text->c_str());
        SendMessageW(edit, WM_KEYDOWN, text ? VK_RETURN : VK_ESCAPE, 0);
        ASSERT_TRUE(PumpUntil([&] { return EditBox() == nullptr; }));
        Pump();
    }

    // Every row in order: "P1 Inbox" for a project, "  N10 first" for a note.
    [[nodiscard]] std::vector<std::string> Rows() const { return TreeRows(tree()); }
    [[nodiscard]] std::string Describe(HTREEITEM item) const { return DescribeTreeRow(tree(), item); }
    [[nodiscard]] std::string Label(TreeItemKey key) const {
        HTREEITEM item = main->sidebar.FindItem(key);
        if (!item) return "(no row)";
        const std::string described = Describe(item);
        return described.substr(described.find(' ') + 1);
    }
    [[nodiscard]] bool RowExpanded(int64_t projectId) const {
        HTREEITEM item = main->sidebar.FindItem({true, projectId});
        return item && (TreeView_GetItemState(tree(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    }

    [[nodiscard]] std::wstring Caption() const {
        wchar_t text[512] = {};
        GetWindowTextW(hwnd(), text, 512);
        return text;
    }
    [[nodiscard]] static std::string Today() {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return DateTitle(now);
    }
    // A key press as the message loop hands it to the window's pre-translation.
    bool PressKey(UINT key, HWND target) {
        MSG message{target, WM_KEYDOWN, key, 0, 0, {}};
        return main->PreTranslateMessage(message, main->FocusScope());
    }
};

}  // namespace lq::test
