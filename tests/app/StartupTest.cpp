// The start-up and shut-down of the real program, driven from outside: the database it chooses and
// leaves behind, its dialogs, one instance per database file, its exit codes and its timing marks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramFile.h"
#include "ProgramRun.h"
#include "platform/DatabasePaths.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/SettingsStore.h"
#include "support/DialogKeys.h"
#include "support/FileBytes.h"
#include "support/HeldFile.h"
#include "support/RawDatabase.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::Quoted;

constexpr char kNotADatabase[] = "These are somebody's shopping notes, not a database at all.\r\n";

// Answers the damaged-file question with "新しいデータベースで始める", then closes the main window
// that opens on the new file.
void StartOverAndClose(ProgramRun& run, HWND question) {
    test::PressTaskDialogButton(question, 2003);
    const HWND window = run.WaitForMainWindow();
    ASSERT_NE(window, nullptr) << "no main window after starting over";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(0));
}

// The mark names of a timing file, in order; the whole file must be well-formed lines.
std::vector<std::string> MarkNames(const std::wstring& timingFile) {
    const std::string text = test::ReadFileBytes(timingFile).value_or(std::string());
    EXPECT_TRUE(std::regex_match(text, std::regex("([a-z_]+=-?[0-9]+\\.[0-9]{3}\n)*"))) << text;
    std::vector<std::string> names;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) names.push_back(line.substr(0, line.find('=')));
    return names;
}

const std::vector<std::string> kSelfTestMarks = {"process_entry",     "db_opened",          "classes_registered",
                                                 "window_created",    "menu_strip_created", "sidebar_created",
                                                 "scintilla_created", "settings_applied",   "startup_note_opened",
                                                 "tree_populated",    "note_loaded"};

std::wstring UpperCased(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

class StartupTest : public testing::Test {
protected:
    test::TempFolder folder;
    std::wstring path = folder.File(L"memo.db");
};

TEST_F(StartupTest, SelfTestAloneUsesATemporaryDatabaseAndDeletesIt) {
    ProgramRun run(L"--smoke");
    ASSERT_TRUE(run.started());
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(0));
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::wstring prefix = L"lnq-smoke-" + std::to_wstring(run.processId()) + L"-";
    for (const std::wstring& name : test::FileNamesIn(temp)) EXPECT_NE(name.rfind(prefix, 0), 0u) << "left behind";
}

TEST_F(StartupTest, SelfTestOnAnExistingDatabaseAppendsToItsStartupNote) {
    int64_t noteId = 0;
    {
        std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr);
        const std::optional<int64_t> project = ProjectStore(*db).InsertProject("Inbox", 1);
        ASSERT_TRUE(project);
        const std::optional<int64_t> note = NoteStore(*db).InsertNote(*project, "Memo", 1);
        ASSERT_TRUE(note);
        noteId = *note;
        ASSERT_TRUE(NoteStore(*db).SaveNote(noteId, "before\r\n", NoteViewState{}, 1));
        SettingsStore settings(*db);
        ASSERT_TRUE(settings.SetSetting("editor.font_size", "200"));
        ASSERT_TRUE(settings.SetSetting("editor.wrap", "0"));
        ASSERT_TRUE(settings.SetSetting("sidebar.visible", "0"));
        ASSERT_TRUE(settings.SetSetting("sidebar.width", "300"));
    }
    const std::wstring timing = folder.File(L"timing.txt");
    ProgramRun run(L"--smoke --silent --db " + Quoted(path) + L" --bench " + Quoted(timing));
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(0));

    std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr) << "the database must stay";
    const std::optional<NoteRecord> note = NoteStore(*db).GetNoteRecord(noteId);
    ASSERT_TRUE(note);
    EXPECT_TRUE(std::regex_match(note->content, std::regex("before\r\nsmoke [0-9]+"))) << note->content;
    // The stored settings were applied before the self-test saved them back: the editor held the
    // size at its largest, and wrap and sidebar stayed as they were.
    SettingsStore settings(*db);
    EXPECT_EQ(settings.GetSetting("editor.font_size"), std::optional<std::string>("72"));
    EXPECT_EQ(settings.GetSetting("editor.wrap"), std::optional<std::string>("0"));
    EXPECT_EQ(settings.GetSetting("sidebar.visible"), std::optional<std::string>("0"));
    EXPECT_EQ(settings.GetSetting("sidebar.width"), std::optional<std::string>("300"));
    // The self-test never shows its window, so its run has no marks after "note_loaded".
    EXPECT_EQ(MarkNames(timing), kSelfTestMarks);
}

TEST_F(StartupTest, SelfTestWithoutADatabaseEndsWith13AndTouchesNothing) {
    ASSERT_TRUE(test::WriteFileBytes(path, kNotADatabase));
    struct Case {
        const char* what;
        std::wstring path;
    };
    const Case cases[] = {
        {"a folder that does not exist", folder.File(L"missing\\memo.db")},
        {"a damaged file", path},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A dialog would keep the program waiting past the time-out: the self-test asks nothing.
        ProgramRun run(L"--smoke --db " + Quoted(c.path));
        EXPECT_EQ(run.Wait(30000), std::optional<DWORD>(13));
    }
    EXPECT_EQ(test::ReadFileBytes(path), std::string(kNotADatabase));
    EXPECT_EQ(test::FileNamesIn(folder.path()), std::vector<std::wstring>{L"memo.db"});
}

TEST_F(StartupTest, ADamagedDatabaseIsKeptOrMovedAsideAsTheUserChooses) {
    ASSERT_TRUE(test::WriteFileBytes(path, kNotADatabase));
    {
        ProgramRun run(L"--silent --db " + Quoted(path));
        const HWND question = run.WaitForDialog();
        ASSERT_NE(question, nullptr);
        test::ExpectDialogShows(question, ProgramString(2002, L"memo.db"));
        test::PressTaskDialogButton(question, 2004);  // "終了"
        EXPECT_EQ(run.Wait(), std::optional<DWORD>(13));
        EXPECT_EQ(test::ReadFileBytes(path), std::string(kNotADatabase));
        EXPECT_EQ(test::FileNamesIn(folder.path()), std::vector<std::wstring>{L"memo.db"});
    }
    {
        ProgramRun run(L"--silent --db " + Quoted(path));
        const HWND question = run.WaitForDialog();
        ASSERT_NE(question, nullptr);
        ASSERT_NO_FATAL_FAILURE(StartOverAndClose(run, question));
    }
    std::wstring damaged;
    for (const std::wstring& name : test::FileNamesIn(folder.path())) {
        if (name.rfind(L"memo-damaged-", 0) == 0) damaged = name;
    }
    ASSERT_FALSE(damaged.empty());
    EXPECT_TRUE(std::regex_match(damaged, std::wregex(L"memo-damaged-[0-9]{8}-[0-9]{6}\\.db")));
    EXPECT_EQ(test::ReadFileBytes(folder.File(damaged)), std::string(kNotADatabase));
    std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr) << "a new database was made in its place";
    const std::optional<std::vector<ProjectRow>> projects = ProjectStore(*db).ListProjects();
    ASSERT_TRUE(projects);
    EXPECT_EQ(projects->size(), 1u);
}

TEST_F(StartupTest, EscapeOnTheDamagedDatabaseQuestionExitsAndLeavesTheFileAlone) {
    ASSERT_TRUE(test::WriteFileBytes(path, kNotADatabase));
    // The question is a task dialog in both dialog styles.
    for (const wchar_t* style : {L"--silent ", L""}) {
        SCOPED_TRACE(testing::Message() << "style \"" << style << "\"");
        ProgramRun run(std::wstring(style) + L"--db " + Quoted(path));
        const HWND question = run.WaitForDialog();
        ASSERT_NE(question, nullptr);
        test::ExpectDialogShows(question, ProgramString(2002, L"memo.db"));
        test::PressEscapeIn(question);
        const std::optional<DWORD> code = run.Wait(10000);
        EXPECT_EQ(code, std::optional<DWORD>(13)) << "Escape did not answer the question with exit";
        EXPECT_EQ(test::ReadFileBytes(path), std::string(kNotADatabase));
        EXPECT_EQ(test::FileNamesIn(folder.path()), std::vector<std::wstring>{L"memo.db"});
    }
}

// A refused file that its program left in WAL mode with changes still in the "-wal": the refusal
// reads those changes, and the file, its log and its index keep every byte; so does a log whose index
// was never written or was deleted, which cannot be read without building one.
TEST_F(StartupTest, ARefusedFileWithAPendingLogKeepsItsBytesAndItsNeighbours) {
    struct Case {
        const char* name;
        const char* script;
        int message;
        int button;
    };
    const Case cases[] = {
        {"newer version in the log", "PRAGMA user_version = 2;", 2005, IDOK},
        {"a table of ours dropped in the log", "DROP TABLE settings;", 2002, 2004},
    };
    for (const Case& c : cases) {
        for (const bool withIndex : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (withIndex ? "" : ", no index"));
            test::TempFolder own;
            const std::wstring file = own.File(L"memo.db");
            ASSERT_TRUE(test::MakeSchemaDatabase(file, 1, "INSERT INTO projects VALUES (1, 'p', 1, 1, 0, 0);"));
            ASSERT_TRUE(test::AddPendingWalFrames(file, c.script));
            if (!withIndex) {
                ASSERT_TRUE(DeleteFileW((file + L"-shm").c_str()));
            }
            const test::DatabaseFileSet before = test::ReadDatabaseFileSet(file);
            ASSERT_TRUE(before[1] && before[2].has_value() == withIndex);

            ProgramRun run(L"--silent --db " + Quoted(file));
            const HWND dialog = run.WaitForDialog();
            ASSERT_NE(dialog, nullptr);
            test::ExpectDialogShows(dialog, ProgramString(c.message, L"memo.db"));
            test::PressTaskDialogButton(dialog, c.button);
            EXPECT_EQ(run.Wait(), std::optional<DWORD>(13));
            EXPECT_TRUE(test::ReadDatabaseFileSet(file) == before) << "the file or a neighbour was written";
            EXPECT_EQ(test::FileNamesIn(own.path()).size(), withIndex ? 3u : 2u);
        }
    }
}

// The refusal's question and message name the file that was opened.
TEST_F(StartupTest, TheMessagesAboutARefusedFileNameIt) {
    struct Case {
        const wchar_t* name;
        bool newer;
    };
    const Case cases[] = {{L"日記.db", false}, {L"notes.sqlite", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newer ? "newer" : "damaged");
        const std::wstring file = folder.File(c.name);
        ASSERT_TRUE(c.newer ? test::MakeSchemaDatabase(file, 2) : test::WriteFileBytes(file, kNotADatabase));
        ProgramRun run(L"--silent --db " + Quoted(file));
        const HWND dialog = run.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        const std::wstring expected = ProgramString(c.newer ? 2005 : 2002, c.name);
        EXPECT_NE(expected.find(c.name), std::wstring::npos) << "the text has no place for the name";
        test::ExpectDialogShows(dialog, expected);
        test::PressTaskDialogButton(dialog, c.newer ? IDOK : 2004);
        EXPECT_EQ(run.Wait(), std::optional<DWORD>(13));
    }
}

// A foreign file whose tables exist only in its log, as a program ended before its checkpoint leaves it.
bool MakeFileWithTablesOnlyInItsLog(const std::wstring& file) {
    return test::MakeRawDatabase(file, "CREATE TABLE t(x); DROP TABLE t;") &&
           test::AddPendingWalFrames(file, "CREATE TABLE bookmarks(url TEXT); INSERT INTO bookmarks VALUES ('kept');");
}

// Waits until the dialog answered last has gone, then for the next one.
HWND WaitForNextDialog(const ProgramRun& run, HWND answered) {
    for (int i = 0; i < 400 && IsWindow(answered); ++i) Sleep(25);
    return IsWindow(answered) ? nullptr : run.WaitForDialog();
}

TEST_F(StartupTest, StartingOverMovesTheLogWithTheFileSoTheCopyOpensComplete) {
    ASSERT_TRUE(MakeFileWithTablesOnlyInItsLog(path));
    ASSERT_TRUE(test::FileExists(path + L"-wal"));
    {
        ProgramRun run(L"--silent --db " + Quoted(path));
        const HWND question = run.WaitForDialog();
        ASSERT_NE(question, nullptr);
        test::ExpectDialogShows(question, ProgramString(2002, L"memo.db"));
        ASSERT_NO_FATAL_FAILURE(StartOverAndClose(run, question));
    }
    std::wstring damaged;
    for (const std::wstring& name : test::FileNamesIn(folder.path())) {
        if (name.rfind(L"memo-damaged-", 0) == 0 && name.ends_with(L".db")) damaged = folder.File(name);
    }
    ASSERT_FALSE(damaged.empty());
    EXPECT_TRUE(test::FileExists(damaged + L"-wal"));
    EXPECT_FALSE(test::FileExists(path + L"-wal")) << "a log beside the new file";
    std::unique_ptr<Database> copy = test::OpenRawDatabase(damaged);
    ASSERT_NE(copy, nullptr);
    int64_t kept = 0;
    EXPECT_TRUE(copy->QueryInt64("SELECT count(*) FROM bookmarks WHERE url = 'kept'", kept)) << copy->LastError();
    EXPECT_EQ(kept, 1) << "the copy set aside lacks what its log held";
}

// When the log cannot go with the file, the file comes back to it, the user is told that no new
// database could be made, and nothing is made beside them.
TEST_F(StartupTest, AStartOverThatCannotMoveTheLogPutsTheFileBackAndSaysSo) {
    ASSERT_TRUE(MakeFileWithTablesOnlyInItsLog(path));
    const test::DatabaseFileSet before = test::ReadDatabaseFileSet(path);
    // Readable and writable by others, but not to be renamed while this handle is open.
    test::HeldFile log(path + L"-wal", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(log.held());

    ProgramRun run(L"--silent --db " + Quoted(path));
    const HWND question = run.WaitForDialog();
    ASSERT_NE(question, nullptr);
    test::PressTaskDialogButton(question, 2003);
    const HWND message = WaitForNextDialog(run, question);
    ASSERT_NE(message, nullptr) << "the start-over was taken for a success";
    test::ExpectDialogShows(message, ProgramString(2001, folder.path().wstring(), L"memo.db"));
    test::PressTaskDialogButton(message, IDOK);
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(13));
    log.Release();
    EXPECT_TRUE(test::ReadDatabaseFileSet(path) == before) << "the file or its log changed";
    EXPECT_EQ(test::FileNamesIn(folder.path()).size(), 3u) << "something was left or made beside them";
}

TEST_F(StartupTest, ASecondStartOnTheSameFileBringsTheFirstToTheFront) {
    ProgramRun first(L"--silent --db " + Quoted(path));
    const HWND window = first.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    for (int i = 0; i < 100 && !IsIconic(window); ++i) Sleep(20);
    ASSERT_TRUE(IsIconic(window));

    // The same file written in other letters is the same instance.
    ProgramRun second(L"--silent --db " + Quoted(UpperCased(path)));
    EXPECT_EQ(second.Wait(20000), std::optional<DWORD>(0));
    EXPECT_FALSE(IsIconic(window)) << "the running window was not restored";
    EXPECT_TRUE(first.Running());

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Wait(), std::optional<DWORD>(0));
    // Closing saved: the window's placement is among the settings.
    std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr);
    EXPECT_TRUE(SettingsStore(*db).GetSetting("window.placement").has_value());
}

TEST_F(StartupTest, AnInstanceWhoseWindowNeverAppearsIsReportedWith17) {
    // This process holds the file's mutex as a starting instance would, without any window.
    const HANDLE mutex = CreateMutexW(nullptr, TRUE, MakeInstanceMutexName(NormalizePath(path)).c_str());
    ASSERT_NE(mutex, nullptr);
    ProgramRun run(L"--silent --db " + Quoted(path));
    const HWND notice = run.WaitForDialog();
    EXPECT_NE(notice, nullptr);
    if (notice != nullptr) {
        test::ExpectDialogShows(notice, ProgramString(2028));
        test::PressTaskDialogButton(notice, IDOK);
    }
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(17));
    CloseHandle(mutex);
    EXPECT_FALSE(test::FileExists(path)) << "the second process must not touch the database";
}

TEST_F(StartupTest, ATimedRunBesideTheProgramMakesItsDatabaseAndRecordsEveryMark) {
    // A copy of the program in a folder of its own, so its "memo.db" lands there.
    const std::wstring program = folder.File(L"lanternquill.exe");
    ASSERT_TRUE(CopyFileW(test::ProgramPath().c_str(), program.c_str(), TRUE));
    const std::wstring timing = folder.File(L"timing.txt");
    ProgramRun run(L"--silent --bench " + Quoted(timing), program);
    // The window closes itself after its first paint.
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(0));
    // Every mark once: those of the start-up in order, then the window's showing and the editor's
    // first paint, which showing the window brings about (so it may be taken first).
    std::vector<std::string> marks = MarkNames(timing);
    ASSERT_EQ(marks.size(), kSelfTestMarks.size() + 2) << testing::PrintToString(marks);
    EXPECT_EQ(std::vector<std::string>(marks.begin(), marks.begin() + kSelfTestMarks.size()), kSelfTestMarks);
    std::vector<std::string> last(marks.begin() + kSelfTestMarks.size(), marks.end());
    std::sort(last.begin(), last.end());
    EXPECT_EQ(last, (std::vector<std::string>{"first_paint", "window_shown"}));

    std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr);
    const std::optional<std::vector<NoteListRow>> notes = NoteStore(*db).ListNotes();
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->size(), 1u) << "the first run makes its first project and note";
}

}  // namespace
}  // namespace lq
