#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MainWindowFixture.h"
#include "resources/ResourceIds.h"
#include "support/DialogWatcher.h"
#include "support/FileBytes.h"
#include "support/LockingConnection.h"
#include "support/SecondDialog.h"
#include "support/StoreDatabase.h"
#include "ui/dialogs/FileCommandTexts.h"
#include "ui/dialogs/ResourceString.h"

namespace lq::test {
namespace {

// Answers a save or open dialog by typing `text` as the file name; records the name it proposed.
DialogWatcher::Respond TypeAndAccept(std::wstring text, std::wstring* proposed) {
    return [text = std::move(text), proposed](const DialogSnapshot& dialog) {
        if (dialog.edit == nullptr) return;  // the watcher then closes it and the test fails
        wchar_t shown[1024] = {};
        SendMessageTimeoutW(dialog.edit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(shown), SMTO_ABORTIFHUNG, 2000,
                            nullptr);
        *proposed = shown;
        SendMessageTimeoutW(dialog.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000,
                            nullptr);
        PressDialogButton(dialog.window, IDOK);
    };
}

// A file of `size` bytes made without writing them (its content is never read).
bool MakeFileOfSize(const std::wstring& path, LONGLONG size) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end{};
    end.QuadPart = size;
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return sized;
}

std::string Utf16LeWithMark(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// The count of notes in a database file other than the open one, read on a connection of its own.
std::optional<int64_t> NotesInCopy(const std::wstring& path, const std::string& content) {
    sqlite3* copy = nullptr;
    std::string utf8(path.begin(), path.end());  // the temporary folder's path is ASCII
    std::optional<int64_t> count;
    if (sqlite3_open_v2(utf8.c_str(), &copy, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(copy, "SELECT count(*) FROM notes WHERE content = ?1", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_bind_text(statement, 1, content.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            count = sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close_v2(copy);
    return count;
}

// Project Inbox with Memo, project P with Open (the open, selected note); messages are recorded.
class MainWindowFilesTest : public MainWindowFixture {
protected:
    void StartWithNotes() {
        inbox_ = AddProject("Inbox");
        memo_ = AddNote(inbox_, "Memo", "memo");
        project_ = AddProject("P");
        open_ = AddNote(project_, "Open: notes?", "line1\nline2\rline3");
        SetSetting("last.note_id", std::to_string(open_));
        Start();
        main->showMessage = [this](const std::wstring& text) { messages_.push_back(text); };
    }

    [[nodiscard]] std::wstring Text(UINT id, const std::wstring& first = {}) const {
        return LoadResourceString(GetModuleHandleW(nullptr), id, first);
    }
    [[nodiscard]] std::wstring Folder() const { return folder.path().wstring(); }
    [[nodiscard]] std::string FolderUtf8() const { return folder.path().string(); }
    [[nodiscard]] std::vector<std::string> TitlesIn(int64_t projectId) const {
        std::vector<std::string> titles;
        if (const ProjectNode* node = workspace->tree.FindProject(projectId)) {
            for (const NoteListRow& row : node->notes) titles.push_back(row.title);
        }
        return titles;
    }

    int64_t inbox_ = 0, memo_ = 0, project_ = 0, open_ = 0;
    std::vector<std::wstring> messages_;
};

TEST_F(MainWindowFilesTest, ImportsWhatItCanAndNamesEveryFileItCannot) {
    StartWithNotes();
    // Completion's index is already built: imported words join it.
    FinishWordFill();
    ASSERT_TRUE(main->completion.built());

    const std::wstring a = folder.File(L"a.txt");
    const std::wstring b = folder.File(L"b.md");
    const std::wstring c = folder.File(L"c.txt");
    const std::wstring d = folder.File(L"d.txt");
    const std::wstring missing = folder.File(L"missing.txt");
    ASSERT_TRUE(WriteFileBytes(a, Utf16LeWithMark(u"Imported words\nnext line")));
    ASSERT_TRUE(MakeFileOfSize(b, 104857601));
    ASSERT_TRUE(WriteFileBytes(c, std::string("x\0y", 3)));
    ASSERT_TRUE(WriteFileBytes(d, "abc\x82"));

    main->ImportTextFiles({a, b, c, d, missing});

    EXPECT_EQ(TitlesIn(project_), (std::vector<std::string>{"Open: notes?", "a"}));
    const int64_t imported = workspace->tree.FindProject(project_)->notes.back().id;
    EXPECT_EQ(Stored(imported).content, "Imported words\r\nnext line");
    EXPECT_EQ(workspace->currentNoteId, imported);
    EXPECT_EQ(main->sidebar.GetSelection(), (TreeItemKey{false, imported}));
    EXPECT_EQ(main->sidebar.openNoteId(), imported);
    EXPECT_EQ(EditorText(), "Imported words\r\nnext line");
    EXPECT_GT(main->completion.index().CountOf("Imported"), 0);

    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_IMPORT_FAILURES) + L"\nb.md \u2014 " + Text(IDS_IMPORT_TOO_LARGE) +
                                L"\nc.txt \u2014 " + Text(IDS_IMPORT_CONTAINS_NUL) + L"\nd.txt \u2014 " +
                                Text(IDS_IMPORT_UNKNOWN_ENCODING) + L"\nmissing.txt \u2014 " +
                                Text(IDS_IMPORT_UNREADABLE));
}

TEST_F(MainWindowFilesTest, FilesThatAllFailLeaveTreeAndNoteAlone) {
    StartWithNotes();
    const size_t rows = main->sidebar.ItemCount();
    main->ImportTextFiles({folder.File(L"gone.txt")});
    EXPECT_EQ(main->sidebar.ItemCount(), rows);
    EXPECT_EQ(workspace->currentNoteId, open_);
    EXPECT_EQ(TitlesIn(project_).size(), 1u);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_IMPORT_FAILURES) + L"\ngone.txt \u2014 " + Text(IDS_IMPORT_UNREADABLE));
}

TEST_F(MainWindowFilesTest, ANoteThatCannotBeStoredIsNamedAndTheRestGoIn) {
    StartWithNotes();
    const std::wstring good = folder.File(L"good.md");
    const std::wstring refused = folder.File(L"refused.txt");
    ASSERT_TRUE(WriteFileBytes(good, "good"));
    ASSERT_TRUE(WriteFileBytes(refused, "refused"));
    Exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON notes WHEN NEW.title = 'refused' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    main->ImportTextFiles({refused, good});
    Exec("DROP TRIGGER refuse");

    EXPECT_EQ(TitlesIn(project_), (std::vector<std::string>{"Open: notes?", "good"}));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_IMPORT_FAILURES) + L"\nrefused.txt \u2014 " + Text(IDS_IMPORT_NOT_STORED));
}

TEST_F(MainWindowFilesTest, NoFilesMeansNoSave) {
    StartWithNotes();
    Type("unsaved ");
    main->ImportTextFiles({});
    EXPECT_EQ(Stored(open_).content, "line1\nline2\rline3");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowFilesTest, ExportWritesTheEditorsTextWithCrlfAndRemembersTheFolder) {
    StartWithNotes();
    Type("typed ");  // not saved yet: the export takes what the editor shows
    const std::wstring target = folder.File(L"out.txt");
    ASSERT_TRUE(WriteFileBytes(target, "old content"));

    ASSERT_TRUE(main->ExportNoteTo(target));
    EXPECT_EQ(ReadFileBytes(target), "typed line1\r\nline2\r\nline3") << "no byte-order mark, CR LF only";
    EXPECT_EQ(StoredSetting("export.folder"), FolderUtf8());
    EXPECT_EQ(main->GetSetting("export.folder"), Folder());
    EXPECT_EQ(Stored(open_).content, "typed line1\nline2\rline3") << "saved first";
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowFilesTest, ExportToAMissingFolderSaysWhereAndForgetsNothing) {
    SetSetting("export.folder", "C:\\earlier");
    StartWithNotes();
    const std::wstring target = folder.File(L"missing\\out.txt");
    EXPECT_FALSE(main->ExportNoteTo(target));
    EXPECT_FALSE(FileExists(target));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_EXPORT_FAILED, target));
    EXPECT_EQ(StoredSetting("export.folder"), "C:\\earlier");
}

TEST_F(MainWindowFilesTest, ExportNeedsAnOpenNote) {
    StartWithNotes();
    workspace->ShowEmptyDocument();
    EXPECT_FALSE(main->ExportNoteTo(folder.File(L"none.txt")));
    EXPECT_FALSE(FileExists(folder.File(L"none.txt")));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowFilesTest, FolderSettingsFallBackToTheProgramsFolder) {
    SetSetting("backup.folder", "");
    StartWithNotes();
    const std::wstring programFolder = ProgramFolder();
    ASSERT_FALSE(programFolder.empty());
    EXPECT_EQ(main->GetSetting("export.folder"), programFolder) << "never stored";
    EXPECT_EQ(main->GetSetting("backup.folder"), programFolder) << "stored empty";
    SetSetting("backup.folder", "D:\\\xE5\x82\x99\xE4\xBB\xBD");  // "D:\備份" in UTF-8
    EXPECT_EQ(main->GetSetting("backup.folder"), L"D:\\\u5099\u4EFD");
}

TEST_F(MainWindowFilesTest, BackupCopiesWhatWasJustTypedAndRemembersTheFolder) {
    StartWithNotes();
    Type("latest ");
    const std::wstring target = folder.File(L"copy.db");
    ASSERT_TRUE(main->BackupTo(target));
    EXPECT_EQ(NotesInCopy(target, "latest line1\nline2\rline3"), 1);
    EXPECT_EQ(StoredSetting("backup.folder"), FolderUtf8());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowFilesTest, BackupToABadPathSaysWhereAndForgetsNothing) {
    StartWithNotes();
    const std::wstring target = folder.File(L"missing\\copy.db");
    EXPECT_FALSE(main->BackupTo(target));
    EXPECT_FALSE(FileExists(target));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_BACKUP_FAILED, target));
    EXPECT_FALSE(StoredSetting("backup.folder").has_value());

    // A folder where the file should be is no better.
    messages_.clear();
    EXPECT_FALSE(main->BackupTo(Folder()));
    EXPECT_EQ(messages_.size(), 1u);
}

// A live file whose one long note has an overflow page garbled on the disk: the rest of the file can
// be read, the window starts on another note, and a faithful copy fails its check.
TEST_F(MainWindowFilesTest, TheBackupOfADamagedFileBlamesThatFileAndLeavesTheTargetAlone) {
    constexpr char kBrokenByte = 'Q';  // nothing else in the file fills a whole page with it
    const int64_t project = AddProject("Inbox");
    const int64_t first = AddNote(project, "A", "alpha");
    AddNote(project, "Broken", std::string(5 * kDatabasePageSize, kBrokenByte));
    SetSetting("last.note_id", std::to_string(first));
    db.reset();
    size_t damagedPage = 0;
    {
        const std::optional<std::string> bytes = ReadFileBytes(path);
        ASSERT_TRUE(bytes);
        size_t seen = 0;
        for (size_t page = 1; (page + 1) * kDatabasePageSize <= bytes->size(); ++page) {
            const std::string_view text =
                std::string_view(bytes->data() + page * kDatabasePageSize, kDatabasePageSize).substr(4);
            if (text.find_first_not_of(kBrokenByte) == std::string_view::npos && ++seen == 2) damagedPage = page;
        }
    }
    ASSERT_NE(damagedPage, 0u) << "no overflow pages of the long note";
    ASSERT_TRUE(DamageDatabasePages(path, damagedPage, 1));
    const auto pageNow = [&]() -> std::string {
        const std::optional<std::string> bytes = ReadFileBytes(path);
        return bytes ? bytes->substr(damagedPage * kDatabasePageSize, kDatabasePageSize) : std::string();
    };
    const std::string damaged = pageNow();
    db = OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr);
    Start();
    main->showMessage = [this](const std::wstring& text) { messages_.push_back(text); };

    struct Case {
        const char* name;
        std::optional<std::string> before;  // the target's bytes before the backup; none: no file
    };
    for (const Case& target : {Case{"a new target", std::nullopt}, Case{"an older backup", "the older backup"}}) {
        SCOPED_TRACE(target.name);
        messages_.clear();
        const std::wstring file = folder.File(target.before ? L"older.db" : L"new.db");
        if (target.before) {
            ASSERT_TRUE(WriteFileBytes(file, *target.before));
        }
        std::wstring proposed;
        {
            const DialogWatcher::Respond typeName = TypeAndAccept(file, &proposed);
            DialogWatcher watcher([&](const DialogSnapshot& dialog) {
                typeName(dialog);
                if (!target.before) return;
                // The dialog asks before it gives a name that is taken: the user says yes.
                for (int round = 0; round < 3000; ++round) {
                    if (const HWND ask = FindOtherDialog(GetCurrentProcessId(), dialog.window)) {
                        PressDialogButton(ask, IDYES);
                        return;
                    }
                    Sleep(10);
                }
            });
            main->RunBackupCommand();
            ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
            EXPECT_FALSE(watcher.forced());
        }
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0], Text(IDS_BACKUP_SOURCE_DAMAGED, path));
        EXPECT_NE(messages_[0].find(path), std::wstring::npos) << "the message does not name the notes file";
        if (target.before) {
            EXPECT_EQ(ReadFileBytes(file), target.before) << "the older backup was replaced";
        } else {
            EXPECT_FALSE(FileExists(file)) << "a copy of the damaged file was left";
        }
        EXPECT_EQ(pageNow(), damaged) << "the damaged page was written";
        EXPECT_FALSE(StoredSetting("backup.folder").has_value());
    }
}

// The cursor as the user sees it at one moment of a backup: the thread's cursor, the one the editor
// shows under the pointer (it chooses its own), and the one over a child that leaves it to the window.
struct CursorsSeen {
    bool taken = false;
    HCURSOR thread = nullptr;
    HCURSOR overEditor = nullptr;
    HCURSOR overTree = nullptr;
};

// Each cursor a window chose when the program asked it (WM_SETCURSOR, as the system sends on a
// pointer move), read as it answered; the asking SeeCursors does is left out.
struct CursorChoice {
    HWND window = nullptr;
    HCURSOR chosen = nullptr;
};
thread_local std::vector<CursorChoice>* cursorChoices = nullptr;

LRESULT CALLBACK RecordCursorChoice(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && cursorChoices != nullptr) {
        const auto& sent = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (sent.message == WM_SETCURSOR) cursorChoices->push_back({sent.hwnd, GetCursor()});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class CursorChoiceRecording {
public:
    CursorChoiceRecording()
        : hook_(SetWindowsHookExW(WH_CALLWNDPROCRET, RecordCursorChoice, nullptr, GetCurrentThreadId())) {
        cursorChoices = &choices;
    }
    ~CursorChoiceRecording() {
        cursorChoices = nullptr;
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    }
    CursorChoiceRecording(const CursorChoiceRecording&) = delete;
    CursorChoiceRecording& operator=(const CursorChoiceRecording&) = delete;
    [[nodiscard]] bool hooked() const { return hook_ != nullptr; }

    std::vector<CursorChoice> choices;

private:
    HHOOK hook_;
};

CursorsSeen SeeCursors(MainWindow& window) {
    std::vector<CursorChoice>* const recording = cursorChoices;
    cursorChoices = nullptr;
    CursorsSeen seen;
    seen.taken = true;
    seen.thread = GetCursor();
    const HCURSOR before = seen.thread;
    SendMessageW(window.editor.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.editor.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    seen.overEditor = GetCursor();
    SendMessageW(window.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(window.sidebar.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    seen.overTree = GetCursor();
    SetCursor(before);
    cursorChoices = recording;
    return seen;
}

// The copy of a file another program holds locked waits on the connection's busy handler: that is
// a moment inside the copy, on the UI thread, where the cursor can be looked at.
struct CopyWatch {
    MainWindow* window = nullptr;
    std::unique_ptr<LockingConnection> lock;
    bool letCopyGoOn = false;
    CursorsSeen during;
    // What the windows under the resting pointer chose, from the start of the backup to this moment.
    std::vector<CursorChoice> chosenAtStart;
};

int WatchCopy(void* context, int) {
    auto& watch = *static_cast<CopyWatch*>(context);
    if (!watch.during.taken) {
        if (cursorChoices != nullptr) watch.chosenAtStart = *cursorChoices;
        watch.during = SeeCursors(*watch.window);
    }
    if (!watch.letCopyGoOn) return 0;
    watch.lock.reset();
    return 1;
}

// The backup is one long step on the UI thread: the wait cursor shows over the whole window, the
// editor included, from the moment the copy begins, where the pointer rests as well as where it
// moves; when it is done, or has failed, the cursor is the normal one again before any message says so.
TEST_F(MainWindowFilesTest, TheWaitCursorShowsWhileTheBackupCopiesAndGoesBeforeTheResult) {
    StartWithNotes();
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    // Rests the pointer on a screen point and lets the window under it take the move.
    const auto restPointerAt = [](POINT at) -> HWND {
        if (!SetCursorPos(at.x, at.y)) return nullptr;
        Pump();
        return WindowFromPoint(at);
    };
    RECT editorRect{};
    GetWindowRect(main->editor.hwnd(), &editorRect);
    const POINT onEditor{(editorRect.left + editorRect.right) / 2, (editorRect.top + editorRect.bottom) / 2};
    ASSERT_EQ(restPointerAt(onEditor), main->editor.hwnd()) << "the pointer cannot rest over the editor";
    for (const bool succeeds : {true, false}) {
        SCOPED_TRACE(succeeds ? "a copy that succeeds" : "a copy that fails");
        messages_.clear();
        CursorsSeen atMessage;
        main->showMessage = [&](const std::wstring& text) {
            atMessage = SeeCursors(*main);
            messages_.push_back(text);
        };
        // Whatever the start left to save goes now, so the backup's own save has nothing to wait for.
        main->SaveNow(SaveReason::UserSave);
        ASSERT_FALSE(main->status.saveFailed());
        CopyWatch watch{main.get(), std::make_unique<LockingConnection>(path), succeeds, {}, {}};
        ASSERT_TRUE(watch.lock->locked());
        sqlite3_busy_handler(workspace->db.handle(), WatchCopy, &watch);
        const std::wstring target = folder.File(succeeds ? L"good.db" : L"failed.db");
        bool done = false;
        std::vector<CursorChoice> chosenAtEnd;
        {
            CursorChoiceRecording recording;
            ASSERT_TRUE(recording.hooked());
            done = main->BackupTo(target);
            chosenAtEnd = recording.choices;
        }
        sqlite3_busy_timeout(workspace->db.handle(), 2000);
        watch.lock.reset();

        EXPECT_EQ(done, succeeds);
        ASSERT_TRUE(watch.during.taken) << "the copy never waited for the lock";
        // The pointer has not moved: the editor under it was made to choose, and chose the wait cursor.
        ASSERT_FALSE(watch.chosenAtStart.empty()) << "the window under the resting pointer kept its cursor";
        EXPECT_EQ(watch.chosenAtStart.back().window, main->editor.hwnd());
        EXPECT_EQ(watch.chosenAtStart.back().chosen, wait);
        // And at the end it chose again, the normal cursor.
        ASSERT_GT(chosenAtEnd.size(), watch.chosenAtStart.size());
        EXPECT_EQ(chosenAtEnd.back().window, main->editor.hwnd());
        EXPECT_NE(chosenAtEnd.back().chosen, wait);
        EXPECT_EQ(watch.during.thread, wait);
        EXPECT_EQ(watch.during.overEditor, wait) << "the editor showed its own cursor during the copy";
        EXPECT_EQ(watch.during.overTree, wait);

        const CursorsSeen after = SeeCursors(*main);
        EXPECT_NE(after.thread, wait);
        EXPECT_NE(after.overEditor, wait) << "the editor kept the wait cursor";
        EXPECT_NE(after.overTree, wait);
        if (succeeds) {
            EXPECT_TRUE(messages_.empty());
            EXPECT_EQ(NotesInCopy(target, "memo"), 1);
        } else {
            ASSERT_EQ(messages_.size(), 1u);
            EXPECT_EQ(messages_[0], Text(IDS_BACKUP_FAILED, target));
            EXPECT_NE(atMessage.thread, wait) << "the failure was shown under the wait cursor";
            EXPECT_NE(atMessage.overEditor, wait);
        }
    }

    // With the pointer over no window of ours, the cursor from before the backup comes back.
    RECT windowRect{};
    GetWindowRect(hwnd(), &windowRect);
    const POINT outside{windowRect.right + 20, windowRect.top + 20};
    const HWND under = restPointerAt(outside);
    ASSERT_TRUE(under == nullptr || (under != hwnd() && !IsChild(hwnd(), under)))
        << "no place off the window for the pointer";
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    main->showMessage = [this](const std::wstring& text) { messages_.push_back(text); };
    EXPECT_TRUE(main->BackupTo(folder.File(L"outside.db")));
    EXPECT_EQ(GetCursor(), arrow) << "the wait cursor stayed";
}

TEST_F(MainWindowFilesTest, NeitherBackupNorExportReplacesTheLiveDatabase) {
    StartWithNotes();
    Type("kept ");
    EXPECT_FALSE(main->BackupTo(path));
    EXPECT_FALSE(main->ExportNoteTo(path));
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0], Text(IDS_BACKUP_FAILED, path));
    EXPECT_EQ(messages_[1], Text(IDS_EXPORT_FAILED, path));
    EXPECT_FALSE(FileExists(path + L".lnq-" + std::to_wstring(GetCurrentProcessId()) + L".tmp"));

    // The open connection still writes into the file that is there.
    Type("more ");
    main->SaveNow(SaveReason::UserSave);
    EXPECT_FALSE(main->status.saveFailed());
    EXPECT_EQ(NotesInCopy(path, "kept more line1\nline2\rline3"), 1);
}

TEST_F(MainWindowFilesTest, CommandsOfferTheirNamesInTheRememberedFolder) {
    SetSetting("export.folder", FolderUtf8());
    StartWithNotes();
    std::wstring proposed;
    {
        DialogWatcher watcher(TypeAndAccept(L"chosen", &proposed));
        main->RunExportCommand();
        ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
        EXPECT_FALSE(watcher.forced());
    }
    EXPECT_EQ(proposed, L"Open_ notes_.txt");
    EXPECT_EQ(ReadFileBytes(folder.File(L"chosen.txt")), "line1\r\nline2\r\nline3");

    const std::wstring backup = folder.File(L"backup.db");
    {
        DialogWatcher watcher(TypeAndAccept(backup, &proposed));
        main->RunBackupCommand();
        ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
    }
    EXPECT_EQ(proposed.rfind(L"Lanternquill-backup-", 0), 0u) << testing::PrintToString(proposed);
    EXPECT_EQ(proposed.size(), std::wstring(L"Lanternquill-backup-2026-12-09-1405.db").size());
    EXPECT_EQ(NotesInCopy(backup, "memo"), 1);
    EXPECT_TRUE(messages_.empty());
}

// A name near the 255-character limit of a file name, typed into the dialogs, is written under that
// name: the temporary file beside it must not need a longer one. (The folder is short because Wine's
// file dialog itself fails on full paths beyond MAX_PATH.)
TEST_F(MainWindowFilesTest, NamesNearTheLengthLimitAreExportedAndBackedUp) {
    const std::wstring shortFolder = L"C:\\q" + std::to_wstring(GetCurrentProcessId() % 100);
    ASSERT_TRUE(CreateDirectoryW(shortFolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring exported = shortFolder + L"\\" + std::wstring(246, L'e') + L".txt";
    const std::wstring backup = shortFolder + L"\\" + std::wstring(247, L'b') + L".db";
    StartWithNotes();
    std::wstring proposed;
    for (const std::wstring& target : {exported, backup}) {
        SCOPED_TRACE(target.size());
        DialogWatcher watcher(TypeAndAccept(target, &proposed));
        if (target == exported)
            main->RunExportCommand();
        else
            main->RunBackupCommand();
        ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
        EXPECT_FALSE(watcher.forced());
    }
    EXPECT_TRUE(messages_.empty()) << testing::PrintToString(messages_);
    EXPECT_EQ(ReadFileBytes(exported), "line1\r\nline2\r\nline3");
    EXPECT_EQ(NotesInCopy(backup, "memo"), 1);
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(shortFolder)) {
        names.push_back(entry.path().filename().wstring());
    }
    EXPECT_EQ(names.size(), 2u) << "only the two files, no temporary one";
    DeleteFileW(exported.c_str());
    DeleteFileW(backup.c_str());
    RemoveDirectoryW(shortFolder.c_str());
}

// (The dialog takes the activation, and deactivation saves by itself, so whether the cancelled import
// saved is seen through the empty list of paths in NoFilesMeansNoSave instead.)
TEST_F(MainWindowFilesTest, CancelledImportImportsNothing) {
    StartWithNotes();
    const size_t rows = main->sidebar.ItemCount();
    DialogWatcher watcher([](const DialogSnapshot& dialog) { PressDialogButton(dialog.window, IDCANCEL); });
    main->RunImportCommand();
    ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
    EXPECT_FALSE(watcher.forced());
    EXPECT_EQ(TitlesIn(project_).size(), 1u);
    EXPECT_EQ(main->sidebar.ItemCount(), rows);
    EXPECT_EQ(workspace->currentNoteId, open_);
    EXPECT_TRUE(messages_.empty());
}

}  // namespace
}  // namespace lq::test
