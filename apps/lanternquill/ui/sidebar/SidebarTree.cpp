#include "ui/sidebar/SidebarTree.h"

#include <string>
#include <vector>

#include "editor/EditorFonts.h"
#include "platform/TextConversion.h"

namespace lq {
namespace {

// Sets a flag for the length of one operation and puts back what it was: operations nest (Sync
// removes a row), and the inner one must not end the outer one's quiet.
class FlagScope {
public:
    explicit FlagScope(bool& flag) noexcept : flag_(flag), saved_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// The same face at weight 700; null when the font cannot be read or made.
HFONT MakeBoldFont(HFONT font) noexcept {
    LOGFONTW logFont{};
    if (GetObjectW(font, sizeof(logFont), &logFont) != sizeof(logFont)) return nullptr;
    logFont.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&logFont);
}

}  // namespace

bool SidebarTree::Attach(HWND tree) noexcept {
    hwnd_ = tree;
    controlProc_ = tree != nullptr ? reinterpret_cast<WNDPROC>(GetClassLongPtrW(tree, GCLP_WNDPROC)) : nullptr;
    return tree != nullptr && SetWindowSubclass(tree, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void SidebarTree::SetDpi(int32_t dpi) noexcept {
    dpi_ = dpi;
    if (HFONT made = CreateUiFont(dpi)) {
        if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
        font_.reset(made);
        boldFont_.reset(MakeBoldFont(made));
    }
    if (!hwnd_) return;
    SendMessageW(hwnd_, TVM_SETITEMHEIGHT, static_cast<WPARAM>(MulDiv(28, dpi, 96)), 0);
    SendMessageW(hwnd_, TVM_SETINDENT, static_cast<WPARAM>(MulDiv(20, dpi, 96)), 0);
}

int32_t SidebarTree::GetWidth() const noexcept {
    if (width_ > 0) return width_;
    RECT client{};
    if (!hwnd_ || !GetClientRect(hwnd_, &client)) return 0;
    return client.right - client.left;
}

LRESULT SidebarTree::RowMessage(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
    // Under Wine every message through a subclassed window costs a round trip to the wineserver (the
    // subclass chain lives in a window property): walking or removing a project's thousand rows
    // through it took a fifth of a second, and the fill sends several messages for every row.
    if (controlProc_ != nullptr) return CallWindowProcW(controlProc_, hwnd_, message, wParam, lParam);
    return SendMessageW(hwnd_, message, wParam, lParam);
}

HTREEITEM SidebarTree::Relative(HTREEITEM item, UINT relation) const noexcept {
    if (!hwnd_) return nullptr;
    return reinterpret_cast<HTREEITEM>(RowMessage(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::optional<TreeItemKey> SidebarTree::VisibleNeighbour(TreeItemKey key, bool below) const noexcept {
    const HTREEITEM item = FindItem(key);
    if (!item) return std::nullopt;
    return KeyOf(Relative(item, below ? TVGN_NEXTVISIBLE : TVGN_PREVIOUSVISIBLE));
}

std::optional<TreeItemKey> SidebarTree::KeyOf(HTREEITEM item) const noexcept {
    if (!item || !hwnd_) return std::nullopt;
    TVITEMW query{};
    query.mask = TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    if (!RowMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return std::nullopt;
    return DecodeTreeItemParam(static_cast<int64_t>(query.lParam));
}

std::optional<TreeItemKey> SidebarTree::FirstVisibleKey() const noexcept {
    return KeyOf(Relative(nullptr, TVGN_FIRSTVISIBLE));
}

void SidebarTree::RestoreFirstVisible(std::optional<TreeItemKey> key) noexcept {
    if (!key) return;
    if (HTREEITEM item = FindItem(*key)) {
        SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(item));
    }
}

void SidebarTree::SetChildrenFlag(HTREEITEM item, bool hasChildren) noexcept {
    TVITEMW change{};
    change.mask = TVIF_CHILDREN | TVIF_HANDLE;
    change.hItem = item;
    change.cChildren = hasChildren ? 1 : 0;
    RowMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

void SidebarTree::Expand(HTREEITEM item) noexcept {
    RowMessage(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

void SidebarTree::InvalidateRow(HTREEITEM item) noexcept {
    if (!item || !hwnd_) return;
    RECT row{};
    if (TreeView_GetItemRect(hwnd_, item, &row, FALSE)) InvalidateRect(hwnd_, &row, FALSE);
}

void SidebarTree::ForgetRowState(HTREEITEM item) noexcept {
    if (item == dragItem_) EndDrag(false);  // a drag of a row that goes cannot be dropped
    if (item == hotItem_) {
        hotItem_ = nullptr;
        hotPart_ = TreeHitPart::None;
    }
    if (item == pressedAddItem_) pressedAddItem_ = nullptr;
    if (item == editItem_) editItem_ = nullptr;
}

HTREEITEM SidebarTree::InsertRow(const TVINSERTSTRUCTW& insert) noexcept {
    auto send = [&] {
        return reinterpret_cast<HTREEITEM>(RowMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    };
    if (redrawOff_) return send();
    // A row inserted while the control draws makes Wine's control invalidate every row below it one by
    // one, a wineserver round trip each: seconds for a note appended to the first project of a tree of
    // 100,000 rows. With drawing off the insertion only links the row, and turning drawing back on
    // lays the rows out again in one pass; one invalidation of the client area then repaints the rows
    // in view.
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    HTREEITEM item = send();
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
    return item;
}

HTREEITEM SidebarTree::InsertProject(const ProjectNode& project, bool hasNotes, HTREEITEM insertAfter) {
    const int64_t param = EncodeTreeItemParam({true, project.id});
    if (!hwnd_ || !IsEncodableTreeId(project.id) || items_.count(param) != 0) return nullptr;
    Utf8ToUtf16Into(project.name, label_);
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
    insert.item.pszText = label_.data();
    insert.item.state = TVIS_BOLD;
    insert.item.stateMask = TVIS_BOLD;
    insert.item.cChildren = hasNotes ? 1 : 0;
    insert.item.lParam = static_cast<LPARAM>(param);
    HTREEITEM item = InsertRow(insert);
    if (item) items_.emplace(param, item);
    return item;
}

HTREEITEM SidebarTree::InsertNote(HTREEITEM projectItem, const NoteListRow& note, HTREEITEM insertAfter) {
    const int64_t param = EncodeTreeItemParam({false, note.id});
    if (!hwnd_ || !projectItem || !IsEncodableTreeId(note.id) || items_.count(param) != 0) return nullptr;
    Utf8ToUtf16Into(note.title, label_);
    TVINSERTSTRUCTW insert{};
    insert.hParent = projectItem;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = label_.data();
    insert.item.lParam = static_cast<LPARAM>(param);
    HTREEITEM item = InsertRow(insert);
    if (item) items_.emplace(param, item);
    return item;
}

void SidebarTree::Populate(const ProjectTree& projects, int64_t openNoteId, std::optional<TreeItemKey> toSelect) {
    if (!hwnd_) return;
    openNoteId_ = openNoteId;
    FlagScope quiet(quiet_);
    const std::optional<TreeItemKey> firstVisible = FirstVisibleKey();

    EndDrag(false);  // every row handle is about to go
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    redrawOff_ = true;
    RowMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    items_.clear();
    hotItem_ = nullptr;
    hotPart_ = TreeHitPart::None;
    pressedAddItem_ = nullptr;
    editItem_ = nullptr;  // its handle is gone and may be handed out again

    size_t rows = projects.projects.size();
    for (const ProjectNode& project : projects.projects) rows += project.notes.size();
    items_.reserve(rows);

    // Every project first, then the notes of each, each list walked backwards and every row put at
    // the head of its siblings: that gives the tree's order and is cheap for every version of the
    // control. Wine's control looks each parent handle up in a list of its items in the order they
    // were made, so with the projects made first that look-up stays short; and a project is
    // expanded right after its notes, while the projects below it are still closed, so the control
    // renumbers only the rows it opens.
    std::vector<HTREEITEM> projectItems(projects.projects.size(), nullptr);
    for (size_t i = projects.projects.size(); i-- > 0;) {
        const ProjectNode& project = projects.projects[i];
        projectItems[i] = InsertProject(project, !project.notes.empty(), TVI_FIRST);
    }
    for (size_t i = 0; i < projects.projects.size(); ++i) {
        const ProjectNode& project = projects.projects[i];
        if (!projectItems[i]) continue;
        for (auto note = project.notes.rbegin(); note != project.notes.rend(); ++note) {
            InsertNote(projectItems[i], *note, TVI_FIRST);
        }
        if (project.expanded) Expand(projectItems[i]);
    }

    HTREEITEM selected = toSelect ? FindItem(*toSelect) : nullptr;
    if (selected) SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));
    redrawOff_ = false;
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    RestoreFirstVisible(firstVisible);
    if (selected) EnsureVisible(selected);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void SidebarTree::Sync(const ProjectTree& projects, TreeItemKey key) {
    Sync(projects, std::span<const TreeItemKey>(&key, 1));
}

void SidebarTree::Sync(const ProjectTree& projects, std::span<const TreeItemKey> keys) {
    if (!hwnd_) return;
    const std::optional<TreeItemKey> selection = GetSelection();
    const std::optional<TreeItemKey> firstVisible = FirstVisibleKey();
    // Turning drawing back on lays every row out again: once for the whole batch.
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    {
        FlagScope quiet(quiet_);
        FlagScope redrawOff(redrawOff_);
        for (const TreeItemKey key : keys) SyncRow(projects, key);

        if (selection) {
            if (HTREEITEM item = FindItem(*selection)) {
                HTREEITEM parent = Relative(item, TVGN_PARENT);
                if (parent && (TreeView_GetItemState(hwnd_, parent, TVIS_EXPANDED) & TVIS_EXPANDED) == 0) {
                    item = parent;
                }
                SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            }
        }
    }
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    RestoreFirstVisible(firstVisible);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void SidebarTree::SyncRow(const ProjectTree& projects, TreeItemKey key) {
    if (FindItem(key)) RemoveItem(key);

    if (key.isProject) {
        const auto& list = projects.projects;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].id != key.id) continue;
            HTREEITEM after = TVI_FIRST;
            if (i > 0) {
                after = FindItem({true, list[i - 1].id});
                if (!after) after = TVI_LAST;
            }
            HTREEITEM projectItem = InsertProject(list[i], !list[i].notes.empty(), after);
            for (const NoteListRow& note : list[i].notes) InsertNote(projectItem, note, TVI_LAST);
            if (projectItem && list[i].expanded) Expand(projectItem);
            break;
        }
    } else if (const NoteListRow* row = projects.FindNote(key.id)) {
        const ProjectNode* project = projects.FindProject(row->projectId);
        HTREEITEM projectItem = FindItem({true, row->projectId});
        if (project && projectItem) {
            for (size_t j = 0; j < project->notes.size(); ++j) {
                if (project->notes[j].id != key.id) continue;
                HTREEITEM after = TVI_FIRST;
                if (j > 0) {
                    after = FindItem({false, project->notes[j - 1].id});
                    if (!after) after = TVI_LAST;
                }
                if (InsertNote(projectItem, project->notes[j], after)) SetChildrenFlag(projectItem, true);
                break;
            }
        }
    }
}

void SidebarTree::AddNote(const NoteListRow& note) {
    HTREEITEM projectItem = FindItem({true, note.projectId});
    if (!InsertNote(projectItem, note, TVI_LAST)) return;
    SetChildrenFlag(projectItem, true);
    Expand(projectItem);
}

void SidebarTree::RemoveItem(TreeItemKey key) {
    HTREEITEM item = FindItem(key);
    if (!item) return;
    HTREEITEM parent = Relative(item, TVGN_PARENT);
    ForgetRowState(item);
    for (HTREEITEM child = Relative(item, TVGN_CHILD); child; child = Relative(child, TVGN_NEXT)) {
        ForgetRowState(child);
        if (std::optional<TreeItemKey> childKey = KeyOf(child)) items_.erase(EncodeTreeItemParam(*childKey));
    }
    {
        FlagScope quiet(quiet_);
        RowMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    }
    items_.erase(EncodeTreeItemParam(key));
    if (parent && !Relative(parent, TVGN_CHILD)) SetChildrenFlag(parent, false);
}

HTREEITEM SidebarTree::FindItem(TreeItemKey key) const noexcept {
    auto found = items_.find(EncodeTreeItemParam(key));
    return found == items_.end() ? nullptr : found->second;
}

void SidebarTree::EnsureVisible(HTREEITEM item) noexcept {
    if (!item || !hwnd_) return;
    HTREEITEM parent = Relative(item, TVGN_PARENT);
    if (parent && !Relative(item, TVGN_PREVIOUS)) {
        SendMessageW(hwnd_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(parent));
    }
    SendMessageW(hwnd_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

std::optional<TreeItemKey> SidebarTree::GetSelection() const noexcept {
    return KeyOf(Relative(nullptr, TVGN_CARET));
}

void SidebarTree::Select(TreeItemKey key) noexcept {
    HTREEITEM item = FindItem(key);
    if (!item) return;
    FlagScope quiet(quiet_);
    SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    EnsureVisible(item);
}

bool SidebarTree::EditLabel(TreeItemKey key) noexcept {
    HTREEITEM item = FindItem(key);
    if (!item) return false;
    Select(key);
    SetFocus(hwnd_);
    FlagScope requested(labelEditRequested_);
    return SendMessageW(hwnd_, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)) != 0;
}

void SidebarTree::SetItemText(TreeItemKey key, std::string_view text) {
    HTREEITEM item = FindItem(key);
    if (!item) return;
    std::wstring wide = Utf8ToUtf16(text);
    TVITEMW change{};
    change.mask = TVIF_TEXT | TVIF_HANDLE;
    change.hItem = item;
    change.pszText = wide.data();
    SendMessageW(hwnd_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
    InvalidateRow(item);
}

void SidebarTree::ExpandProject(int64_t projectId) noexcept {
    if (HTREEITEM item = FindItem({true, projectId})) Expand(item);
}

void SidebarTree::InvalidateNote(int64_t noteId) noexcept {
    HTREEITEM item = FindItem({false, noteId});
    if (!item) return;
    InvalidateRow(item);
    InvalidateRow(Relative(item, TVGN_PARENT));
}

void SidebarTree::SetOpenNote(int64_t noteId) noexcept {
    InvalidateNote(openNoteId_);
    openNoteId_ = noteId;
    InvalidateNote(noteId);
}

}  // namespace lq
