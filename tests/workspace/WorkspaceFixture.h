#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Database.h"
#include "store/Rows.h"
#include "support/TempFolder.h"
#include "support/editor/EditorTestWindow.h"
#include "workspace/Workspace.h"

namespace lq::test {

// A real database file made the program's way, a hidden window with a real editor, and a Workspace
// over both, made on demand (so a test can prepare the file first). Destroyed workspace first.
class WorkspaceFixture : public ::testing::Test {
protected:
    void SetUp() override;

    Workspace& MakeWorkspace();
    // MakeWorkspace and a Load that must succeed.
    Workspace& LoadWorkspace();
    // Destroys the workspace (releasing its documents); the database stays open.
    void DropWorkspace() { workspace.reset(); }

    int64_t AddProject(const std::string& name);
    // A note with content and stored view, last in its project.
    int64_t AddNote(int64_t projectId, const std::string& title, std::string_view content = {},
                    const NoteViewState& view = {});
    // Runs SQL on the workspace's own connection; the test fails when it does not run.
    void Exec(const std::string& sql);
    [[nodiscard]] NoteRecord Stored(int64_t noteId);
    [[nodiscard]] std::optional<std::string> StoredSetting(const char* key);
    // Every row of the three tables, as text: equal dumps mean an unchanged database.
    [[nodiscard]] std::string Dump();
    [[nodiscard]] int64_t CountRows(const char* table);

    // Types text at the caret as the user would (undoable, marks the document modified).
    void Type(std::string_view text);
    [[nodiscard]] Scintilla::ScintillaCall& call() { return window.call(); }
    // The document the editor shows now.
    [[nodiscard]] void* Attached() { return call().DocPointer(); }
    [[nodiscard]] bool EditorRedraws() const {
        return (GetWindowLongPtrW(window.editor(), GWL_STYLE) & WS_VISIBLE) != 0;
    }

    // The ids in the in-memory tree's order: the projects, and the notes of one project.
    [[nodiscard]] static std::vector<int64_t> TreeProjects(const Workspace& ws) {
        std::vector<int64_t> ids;
        for (const ProjectNode& node : ws.tree.projects) ids.push_back(node.id);
        return ids;
    }
    [[nodiscard]] static std::vector<int64_t> TreeNotes(const Workspace& ws, int64_t projectId) {
        std::vector<int64_t> ids;
        for (const NoteListRow& row : ws.tree.FindProject(projectId)->notes) ids.push_back(row.id);
        return ids;
    }

    TempFolder folder;
    std::wstring path;
    std::unique_ptr<Database> db;
    EditorTestWindow window;
    std::optional<Workspace> workspace;
};

// Caret, anchor and scroll fields equal; the opening time is left out.
::testing::AssertionResult SameView(const NoteViewState& expected, const NoteViewState& actual);

// Makes a query of the given connection fail midway (SQLITE_INTERRUPT from its first progress
// callback) whenever the running statement's SQL starts with `sqlPrefix`; other statements run.
class StatementInterrupter {
public:
    StatementInterrupter(Database& db, std::string sqlPrefix);
    ~StatementInterrupter();
    StatementInterrupter(const StatementInterrupter&) = delete;
    StatementInterrupter& operator=(const StatementInterrupter&) = delete;
    [[nodiscard]] int interruptions() const noexcept { return interruptions_; }

private:
    static int OnProgress(void* self) noexcept;
    Database& db_;
    std::string prefix_;
    int interruptions_ = 0;
};

// Makes the editing component report a failure (its sticky error status) the moment one of the given
// notes' rows is updated, so the next component call inside the save throws Scintilla::Failure.
void FailEditorWhenNoteUpdated(Database& db, HWND editor, std::initializer_list<int64_t> noteIds);

}  // namespace lq::test
