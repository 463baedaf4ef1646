// The database file cut short under the program while a search reads it mapped: the program tells
// the user that the file cannot be read and ends with its own exit code, and what was typed before
// the search is in the file.
//
// This relies on Wine. A file with a view cannot be shortened through the Windows API (Windows and
// Wine refuse it alike), so the file is cut by a Linux process, started through Wine the way Wine
// starts any Linux program, as a failing disk or share takes pages away under a view; Wine then
// raises an access violation where Windows would raise an in-page error. On Windows the test is
// skipped.
#include <windows.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>

#include "EndToEndDatabase.h"
#include "EndToEndInput.h"
#include "ExitCode.h"
#include "ProgramFile.h"
#include "ProgramRun.h"
#include "resources/ResourceIds.h"
#include "store/Database.h"
#include "store/Statement.h"
#include "support/FileBytes.h"
#include "support/RawDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::Quoted;

// Wine's own: the Linux path of a Windows path; absent on Windows.
using UnixFileName = char*(CDECL*)(const wchar_t*);
UnixFileName UnixFileNameFunction() {
    return reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::optional<std::string> UnixPath(const std::wstring& path) {
    const UnixFileName convert = UnixFileNameFunction();
    if (convert == nullptr) return std::nullopt;
    char* unix = convert(path.c_str());
    if (unix == nullptr) return std::nullopt;
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Finds the program's Linux process by its command line (which holds the database path), says
// "ready", waits until that process maps at least `size` bytes of the file in one view, then cuts the
// file to that size and says "cut" (or why not) into the state file. Only SQLite's own view is that
// long: it spans the whole file, where the scope that learns the views' name maps a single page.
constexpr char kCutter[] = R"(win=$1 db=$(realpath "$2") size=$3 state=$4
maps=
for c in /proc/[0-9]*/cmdline; do
  if grep -qsF -- "$win" "$c"; then maps="$maps ${c%/cmdline}/maps"; fi
done
[ -n "$maps" ] || { echo "no process" > "$state"; exit 1; }
mapped() {
  local range rest
  while read -r range rest; do
    [ $((16#${range#*-} - 16#${range%-*})) -ge "$size" ] && return 0
  done < <(grep -hsF -- " $db" $maps)
  return 1
}
echo ready > "$state"
until mapped; do
  [ "$SECONDS" -lt 60 ] || { echo "never mapped" > "$state"; exit 1; }
done
truncate -s "$size" "$db" && echo cut > "$state"
)";

// The text of the state file, without its line end.
std::string StateOf(const std::wstring& path) {
    std::string text = test::ReadFileBytes(path).value_or("");
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

constexpr wchar_t kTyped[] = L"typed before the search";

// A file of notes enough that a search takes a while, with the program started on it, something
// typed into the open note, and the word index filled: from here only a search maps the file.
class EndToEndReadFaultTest : public testing::Test {
protected:
    void SetUp() override {
        path = folder.File(L"memo.db");
        noteId = test::MakeDatabaseWithNote(path, "Memo", "", {});
        ASSERT_TRUE(noteId);
        {
            // All after the open note; the pages of a note deleted between them are free, so the save
            // before the search writes into them rather than at the end of the file, which is cut.
            std::unique_ptr<Database> db = test::OpenRawDatabase(path);
            ASSERT_NE(db, nullptr);
            ASSERT_EQ(sqlite3_exec(db->handle(),
                                   "BEGIN;"
                                   "INSERT INTO notes (project_id, title, content, sort_order, created_at, updated_at) "
                                   "SELECT project_id, 'spacer', replace(hex(zeroblob(1000000)), '0', 'a'), 2, 0, 0 "
                                   "FROM notes;"
                                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100) "
                                   "INSERT INTO notes (project_id, title, content, sort_order, created_at, updated_at) "
                                   "SELECT (SELECT project_id FROM notes LIMIT 1), 'filler ' || i, "
                                   "replace(hex(zeroblob(500000)), '0', 'a'), i + 2, 0, 0 FROM n;"
                                   "DELETE FROM notes WHERE title = 'spacer';"
                                   "COMMIT;",
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK)
                << db->LastError();
        }
        const std::optional<std::string> bytes = test::ReadFileBytes(path);
        ASSERT_TRUE(bytes);
        // The last note's pages go; everything before stays.
        cutTo = bytes->size() - 512 * 1024;

        windows = test::StartInFront(run, path);
        ASSERT_TRUE(windows);
        test::PostCharacters(windows->editor, kTyped);
        ASSERT_TRUE(test::WaitUntil([&] { return test::QueryText(windows->editor) == kTyped; }));
        // The word completion's fill maps the file in idle slices too, from the first paint on: a cut
        // between two of them meets no mapped read, but a search of a file already short.
        ASSERT_TRUE(test::WaitUntilWordsFilled(windows->main)) << "the word index was not filled";
    }

    // The search over every note, as the user starts it: Ctrl+Shift+F, a query no note holds, Enter.
    void SearchAllNotes() const {
        ASSERT_TRUE(test::BringToFront(windows->main));
        ASSERT_TRUE(test::PressChord({VK_CONTROL, VK_SHIFT, 'F'}));
        ASSERT_TRUE(test::WaitUntil([&] {
            const HWND focus = test::FocusOnThreadOf(windows->main);
            return focus != nullptr && focus != windows->editor && IsChild(windows->main, focus);
        })) << "Ctrl+Shift+F did not open the search view";
        ASSERT_TRUE(test::TypeThroughInput(L"zq\n"));
    }

    // The save before the search put the typed text into the file, in the part that was kept. SQLite
    // reads a file shorter than its header says only with the schema writable (nothing is written).
    void ExpectTypedTextStored() const {
        std::unique_ptr<Database> db = test::OpenRawDatabase(path);
        ASSERT_NE(db, nullptr);
        ASSERT_EQ(sqlite3_exec(db->handle(), "PRAGMA writable_schema = ON", nullptr, nullptr, nullptr), SQLITE_OK);
        Statement* read = db->Prepare("SELECT content FROM notes WHERE id = ?1");
        ASSERT_NE(read, nullptr) << db->LastError();
        read->Reset().BindInt64(1, *noteId);
        ASSERT_TRUE(read->Step()) << db->LastError();
        EXPECT_EQ(std::string(read->ColumnText(0)), "typed before the search");
        read->Reset();
    }

    test::TempFolder folder;
    std::wstring path;
    std::optional<int64_t> noteId;
    size_t cutTo = 0;
    std::unique_ptr<ProgramRun> run;
    std::optional<test::ProgramWindows> windows;
};

TEST_F(EndToEndReadFaultTest, AFileCutShortDuringAMappedSearchIsToldAndEndsTheProgramWithWhatWasTypedStored) {
    if (UnixFileNameFunction() == nullptr) GTEST_SKIP() << "cutting a mapped file short needs Wine (see the top)";
    const std::wstring script = folder.File(L"cut.sh");
    const std::wstring state = folder.File(L"cut.state");
    ASSERT_TRUE(test::WriteFileBytes(script, kCutter));
    const std::optional<std::string> unixScript = UnixPath(script);
    const std::optional<std::string> unixDatabase = UnixPath(path);
    const std::optional<std::string> unixState = UnixPath(state);
    ASSERT_TRUE(unixScript && unixDatabase && unixState);
    const auto wide = [](const std::string& text) { return std::wstring(text.begin(), text.end()); };
    std::wstring command = L"bash " + Quoted(wide(*unixScript)) + L" " + Quoted(path) + L" " +
                           Quoted(wide(*unixDatabase)) + L" " + std::to_wstring(cutTo) + L" " +
                           Quoted(wide(*unixState));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION cutter{};
    ASSERT_TRUE(CreateProcessW(L"Z:\\bin\\bash", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &cutter))
        << GetLastError();
    if (cutter.hThread != nullptr) CloseHandle(cutter.hThread);
    if (cutter.hProcess != nullptr) CloseHandle(cutter.hProcess);
    ASSERT_TRUE(test::WaitUntil([&] { return !StateOf(state).empty(); }, 60000)) << "the cutter did not start";
    ASSERT_EQ(StateOf(state), "ready");

    ASSERT_NO_FATAL_FAILURE(SearchAllNotes());
    const HWND message = run->WaitForDialog();
    ASSERT_NE(message, nullptr) << "no message; the cutter says: " << StateOf(state);
    EXPECT_EQ(StateOf(state), "cut");
    test::ExpectDialogShows(message, test::ProgramString(IDS_DATABASE_READ_FAULT));
    test::PressTaskDialogButton(message, IDOK);
    EXPECT_EQ(run->Wait(), static_cast<DWORD>(ToInt(ExitCode::DatabaseReadFault)));
    ExpectTypedTextStored();
}

// Cut while nothing maps it, the file is short before the search maps it: the search reads past its
// end through the file API and fails, which the user is told; the program goes on.
TEST_F(EndToEndReadFaultTest, AFileCutShortBetweenMappedReadsFailsTheSearchAndTheProgramGoesOn) {
    {
        // SQLite shares its handle for writing, and no view of the file is open now.
        const HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
        LARGE_INTEGER size{};
        size.QuadPart = static_cast<LONGLONG>(cutTo);
        const bool cut = SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file);
        const DWORD error = GetLastError();
        CloseHandle(file);
        ASSERT_TRUE(cut) << error;
    }

    ASSERT_NO_FATAL_FAILURE(SearchAllNotes());
    const HWND message = run->WaitForDialog();
    ASSERT_NE(message, nullptr) << "the failed search was not told";
    test::ExpectDialogShows(message, test::ProgramString(IDS_SEARCH_UNREADABLE));
    test::PressTaskDialogButton(message, IDOK);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(message); }));
    EXPECT_TRUE(run->Running());
    ExpectTypedTextStored();
}

}  // namespace
}  // namespace lq
