#pragma once

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ui/gdi/GdiObjects.h"
#include "ui/sidebar/SidebarDropRules.h"
#include "ui/sidebar/TreeAction.h"
#include "ui/sidebar/TreeItemKey.h"
#include "ui/sidebar/TreeItemLayout.h"
#include "workspace/ProjectTree.h"

namespace lq {

// The message the tree sends or posts to its parent (the main window) to report clicks and drags.
inline constexpr UINT kSidebarReportMessage = WM_APP + 20;
// wParam of kSidebarReportMessage. Posted: a project's plus button was pressed (lParam the project's
// item parameter), make a note in it.
inline constexpr WPARAM kSidebarReportAddNote = 1;
// Sent: a left press was handled and the focus may go to the editor (lParam 1 when it was on a label).
inline constexpr WPARAM kSidebarReportPressHandled = 2;
// Sent: a drag ended, dropped or cancelled; the main window takes the pending move (TakePendingMove).
inline constexpr WPARAM kSidebarReportDragEnded = 3;

// The control's timer while a drag runs: one auto-scroll step per tick.
inline constexpr UINT_PTR kDragScrollTimerId = 29746;
inline constexpr UINT kDragScrollPeriodMs = 50;
// The most characters a label edit box takes.
inline constexpr int kLabelEditLimit = 200;

// The wrapper of the sidebar's tree-view control: fills it from the workspace's ProjectTree, keeps a
// map from each row's item parameter to its tree item, keeps single rows in step after a change,
// selects and reveals rows, and turns the control's notifications into TreeAction records. Its
// subclass procedure shows hover, offers a plus button on every project row, reports clicks to the
// parent, runs drag and drop (with auto-scroll and a drop indicator) and places the label edit box;
// custom draw paints every row. It never changes data: every rename, move or expansion the user makes
// reaches the workspace through the main window, and the tree only mirrors the ProjectTree afterwards.
// A key without a row is a quiet no-op everywhere. UI thread only; notifications the control sends
// during an operation arrive synchronously and see its flags.
class SidebarTree {
public:
    SidebarTree() = default;
    SidebarTree(const SidebarTree&) = delete;
    SidebarTree& operator=(const SidebarTree&) = delete;

    // Takes the tree-view control the main window created (see CreateSidebarControl) and installs the
    // subclass procedure (id 1, this object as reference data); it removes itself when the control is
    // destroyed. The control must not outlive this object. False when the subclass cannot be set.
    bool Attach(HWND tree) noexcept;
    [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }
    // The program's handling of a message before it is translated and dispatched (true: taken). The
    // tree runs messages itself while it watches a press for the start of a drag, and hands each to
    // this first, as the message loop would.
    void SetMessageFilter(std::function<bool(const MSG&)> filter) { messageFilter_ = std::move(filter); }
    // Where the tree answers the hit test as transparent (a screen point for which `zone` is true),
    // so that the pointer's shape and presses there belong to the window below it.
    void SetTransparentZone(std::function<bool(POINT)> zone) { transparentZone_ = std::move(zone); }

    // Makes the sidebar fonts for `dpi` (the previous ones stay when the face cannot be made) and
    // sets the row height (28 DIP) and indent (20 DIP).
    void SetDpi(int32_t dpi) noexcept;
    [[nodiscard]] int32_t dpi() const noexcept { return dpi_; }
    [[nodiscard]] HFONT font() const noexcept { return font_.get(); }
    [[nodiscard]] HFONT boldFont() const noexcept { return boldFont_.get(); }

    // The client width of the last WM_SIZE, else the control's present client width.
    [[nodiscard]] int32_t GetWidth() const noexcept;

    // Rebuilds every row from `projects` in their order, expanding the expanded projects, then selects
    // `toSelect` (scrolled into view) when it has a row, and keeps the first visible row where it was
    // when that row still exists. Raises no Select action.
    void Populate(const ProjectTree& projects, int64_t openNoteId, std::optional<TreeItemKey> toSelect);

    // Inserts a project row at the root after `insertAfter` (TVI_FIRST, TVI_LAST or a row); null on
    // failure, and then no map entry. Ids that cannot be encoded in an item parameter are refused.
    HTREEITEM InsertProject(const ProjectNode& project, bool hasNotes, HTREEITEM insertAfter);
    // Inserts a note row under `projectItem`; null (nothing inserted) when projectItem is null or the
    // insertion fails.
    HTREEITEM InsertNote(HTREEITEM projectItem, const NoteListRow& note, HTREEITEM insertAfter);

    // Appends a new note's row to its project, gives the project an expand button and expands it.
    // Selecting the new row is the caller's business.
    void AddNote(const NoteListRow& note);

    // Puts the row of `key` (with its notes, for a project) where `projects` now has it, keeping the
    // selection (moved to the parent when it would hide in a collapsed project) and the scroll place.
    // A key the ProjectTree no longer holds is removed and not inserted again.
    void Sync(const ProjectTree& projects, TreeItemKey key);
    // The same for several rows at once (the notes of an import), with one redraw for all of them.
    void Sync(const ProjectTree& projects, std::span<const TreeItemKey> keys);

    // Deletes the row of `key` with its children; the parent loses its expand button with its last
    // child.
    void RemoveItem(TreeItemKey key);

    // The row of `key`, or null.
    [[nodiscard]] HTREEITEM FindItem(TreeItemKey key) const noexcept;
    // Scrolls the row into view; a project's first note brings the project's row along.
    void EnsureVisible(HTREEITEM item) noexcept;
    // The key of the visible row just below (or above) the row of `key`; none at either end.
    [[nodiscard]] std::optional<TreeItemKey> VisibleNeighbour(TreeItemKey key, bool below) const noexcept;
    // The key of the selected row; none when nothing is selected or its parameter cannot be read.
    [[nodiscard]] std::optional<TreeItemKey> GetSelection() const noexcept;
    // Selects the row of `key` and scrolls it into view, raising no Select action.
    void Select(TreeItemKey key) noexcept;
    // Selects the row, gives the control the focus and opens its label edit box; true when one opened.
    // The only way a label edit starts: every attempt of the control's own is refused.
    bool EditLabel(TreeItemKey key) noexcept;
    // Changes the label of the row of `key` (UTF-8), after the main window has stored a rename.
    void SetItemText(TreeItemKey key, std::string_view text);
    // Expands the project's row; the caller has recorded the expansion in the workspace first.
    void ExpandProject(int64_t projectId) noexcept;
    // Repaints a note's row and its project's row (the open-note marker lies on one of them).
    void InvalidateNote(int64_t noteId) noexcept;
    // Moves the open-note marker to `noteId` (0 for none) without a rebuild.
    void SetOpenNote(int64_t noteId) noexcept;
    [[nodiscard]] int64_t openNoteId() const noexcept { return openNoteId_; }

    // Decodes a WM_NOTIFY of the control into `out` (cleared first) and returns the control's answer.
    // Custom draw is answered here too: the notification's drawing fields are written as the control
    // expects.
    LRESULT OnNotify(const NMHDR& header, TreeAction& out);

    // The move a dropped drag left behind, once; none after a cancelled drag or one dropped where no
    // drop target could be computed.
    [[nodiscard]] std::optional<TreeMove> TakePendingMove() noexcept;
    [[nodiscard]] bool IsDragging() const noexcept { return dragItem_ != nullptr; }
    // A keyboard message of the message loop, whatever window has the focus (after a click on a row
    // it is the editor): while a drag runs every key belongs to it, Esc cancels it and any other key
    // does nothing. True when the message is taken; false when no drag runs.
    bool TakeKeyDuringDrag(const MSG& message) noexcept;
    // Where the running drag would drop now (not valid when no drag runs).
    [[nodiscard]] const DropTarget& CurrentDropTarget() const noexcept { return dropTarget_; }

    // The part of a row under a client point, with the row's key when it has one.
    struct Hit {
        std::optional<TreeItemKey> item;
        TreeHitPart part = TreeHitPart::None;
    };
    [[nodiscard]] Hit HitTest(POINT point) const noexcept;
    // The layout of a row; false when a rectangle of the row cannot be read.
    bool ItemLayout(HTREEITEM item, bool isProject, TreeItemLayout& out) const noexcept;

    // The number of rows the map holds (always the number the control holds).
    [[nodiscard]] size_t ItemCount() const noexcept { return items_.size(); }

    // The hovered row and part (LabelZone counts as Label), and the project whose plus button is held.
    [[nodiscard]] HTREEITEM hotItem() const noexcept { return hotItem_; }
    [[nodiscard]] TreeHitPart hotPart() const noexcept { return hotPart_; }
    [[nodiscard]] HTREEITEM pressedAddItem() const noexcept { return pressedAddItem_; }
    // The row whose label is being edited, or null.
    [[nodiscard]] HTREEITEM editItem() const noexcept { return editItem_; }

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                                         DWORD_PTR refData);
    static LRESULT CALLBACK LabelEditSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                  UINT_PTR subclassId, DWORD_PTR refData);

private:
    // Sends TVM_INSERTITEMW with the control's drawing off (unless a rebuild has it off already).
    HTREEITEM InsertRow(const TVINSERTSTRUCTW& insert) noexcept;
    // Notifications.
    LRESULT OnSelChanged(const NMTREEVIEWW& info, TreeAction& out);
    LRESULT OnRightClick(TreeAction& out);
    LRESULT OnDoubleClick(TreeAction& out);

    // The control's own messages (subclass procedure), hover and the plus button.
    LRESULT OnSubclassMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftPress(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftDoubleClick(HWND hwnd, WPARAM wParam, LPARAM lParam);
    void SetHot(HTREEITEM item, TreeHitPart part) noexcept;
    void InvalidateHotPart(HTREEITEM item, TreeHitPart part) noexcept;
    void SetPressedAddItem(HTREEITEM item) noexcept;
    void InvalidateAddButton(HTREEITEM item) noexcept;

    // Drag and drop.
    void OnBeginDrag(const NMTREEVIEWW& info);
    void BeginDrag(HTREEITEM item, POINT point);
    [[nodiscard]] int64_t SiblingIndex(HTREEITEM item) const noexcept;
    [[nodiscard]] int64_t ChildCount(HTREEITEM item) const noexcept;
    [[nodiscard]] DropTarget ComputeDrop(POINT point) const noexcept;
    [[nodiscard]] RECT InsertMarkRect(HTREEITEM row, LONG y) const noexcept;
    void UpdateDrag(POINT point) noexcept;
    void EndDrag(bool commit) noexcept;
    void InvalidateDropMark() noexcept;
    void AutoScrollStep() noexcept;

    // Drawing.
    LRESULT OnCustomDraw(NMTVCUSTOMDRAW& draw) noexcept;
    void DrawItem(const NMTVCUSTOMDRAW& draw) noexcept;
    void DrawDropMark(HDC dc) const noexcept;
    [[nodiscard]] bool ShowsCollapsedOpenNote(HTREEITEM projectItem) const noexcept;

    // The label edit box.
    void PrepareLabelEdit() noexcept;
    LRESULT OnLabelEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    void PlaceLabelEdit(HWND edit, WINDOWPOS& position) const noexcept;

    [[nodiscard]] std::optional<TreeItemKey> KeyOf(HTREEITEM item) const noexcept;
    [[nodiscard]] std::optional<TreeItemKey> FirstVisibleKey() const noexcept;
    void RestoreFirstVisible(std::optional<TreeItemKey> key) noexcept;
    void SetChildrenFlag(HTREEITEM item, bool hasChildren) noexcept;
    void Expand(HTREEITEM item) noexcept;
    [[nodiscard]] HTREEITEM Relative(HTREEITEM item, UINT relation) const noexcept;
    void SyncRow(const ProjectTree& projects, TreeItemKey key);  // Sync's work for one row, drawing off
    // A row message (TVM_*) handed straight to the control's own procedure, past the subclass, which
    // has nothing to do for one.
    LRESULT RowMessage(UINT message, WPARAM wParam, LPARAM lParam) const noexcept;
    void InvalidateRow(HTREEITEM item) noexcept;
    void ForgetRowState(HTREEITEM item) noexcept;

    HWND hwnd_ = nullptr;
    WNDPROC controlProc_ = nullptr;  // the tree-view class's procedure, under the subclass
    UniqueFont font_;
    UniqueFont boldFont_;  // null when it could not be made: projects then use `font_`
    int32_t dpi_ = 96;
    int32_t width_ = 0;
    int64_t openNoteId_ = 0;
    bool quiet_ = false;      // the program itself selects or rebuilds: no Select action
    bool redrawOff_ = false;  // a rebuild has turned the control's drawing off
    HTREEITEM editItem_ = nullptr;
    bool labelEditRequested_ = false;
    bool drawingSelected_ = false;
    HTREEITEM hotItem_ = nullptr;
    TreeHitPart hotPart_ = TreeHitPart::None;
    bool trackingLeave_ = false;
    HTREEITEM pressedAddItem_ = nullptr;
    POINT doubleClickPoint_{-1, -1};
    POINT rightClickPoint_{};
    std::unordered_map<int64_t, HTREEITEM> items_;  // item parameter -> row, exactly the control's rows
    HTREEITEM dragItem_ = nullptr;                  // the dragged row; null while no drag runs
    bool dragStartedInClick_ = false;
    bool releasingCapture_ = false;     // EndDrag gives the capture back: that is no cancel
    bool swallowRightRelease_ = false;  // the right button cancelled a drag: its release asks for no menu
    POINT lastDragPoint_{};
    DropTarget dropTarget_;
    TreeMove pendingMove_;
    bool hasPendingMove_ = false;
    std::function<bool(const MSG&)> messageFilter_;
    std::function<bool(POINT)> transparentZone_;
    std::wstring label_;  // the label being inserted, kept to reuse its storage row after row
};

// Frames the window's client rectangle, one pixel in the accent green (the label edit box's border).
void DrawFocusBorder(HWND window, HDC dc) noexcept;

// Creates the sidebar's tree-view control as the main window wants it: a child of `parent` with
// buttons, lines at the root, label editing, the selection always shown, uneven row heights and no
// horizontal scroll bar; double-buffered, without fading expand buttons, in the dark explorer theme
// on the sidebar's colours. Null when the control cannot be created.
[[nodiscard]] HWND CreateSidebarControl(HWND parent, HINSTANCE instance) noexcept;

}  // namespace lq
