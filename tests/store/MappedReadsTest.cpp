// Scans read the database file mapped only inside their scope, never while a save has failed, and a
// read fault in a page of the mapped file ends the process only after the user has been told; no
// other fault is taken for one.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <optional>
#include <string>

#include "StoreTestSupport.h"
#include "store/MappedReads.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "support/MapProbe.h"

namespace lq {
namespace {

class MappedReadsTest : public test::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ProjectStore projects(*db);
        NoteStore notes(*db);
        const int64_t project = *projects.InsertProject("p", 1);
        for (int i = 0; i < 20; ++i) {
            const int64_t id = *notes.InsertNote(project, "n", 1);
            // Larger than a page, so the contents lie in overflow pages as real notes do.
            ASSERT_TRUE(notes.SaveNote(id, std::string(9000, 'a') + (i % 2 == 0 ? "needle" : ""), {}, 2));
        }
    }
    void TearDown() override { AllowMappedReads(true); }

    [[nodiscard]] int Matches() {
        int matches = 0;
        EXPECT_TRUE(NoteStore(*db).ForEachNoteContaining("NEEDLE", [&](int64_t, std::string_view) { ++matches; }));
        return matches;
    }
};

TEST_F(MappedReadsTest, MapsOnlyWhileTheScopeLivesAndFindsWhatAnUnmappedScanFinds) {
    EXPECT_EQ(test::MapLimit(db->handle()), 0);
    EXPECT_EQ(Matches(), 10);
    {
        const MappedReads mapped(*db);
        EXPECT_TRUE(mapped.mapped());
        EXPECT_EQ(test::MapLimit(db->handle()), kMappedReadBytes);
        EXPECT_EQ(Matches(), 10);
    }
    EXPECT_EQ(test::MapLimit(db->handle()), 0);
    // A write after the scope goes through the file as always and is read back mapped and unmapped.
    ASSERT_EQ(sqlite3_exec(db->handle(), "UPDATE notes SET content = content || 'needle' WHERE id % 2 = 0", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(Matches(), 20);
    const MappedReads mapped(*db);
    EXPECT_EQ(Matches(), 20);
}

TEST_F(MappedReadsTest, NothingIsMappedWhileMappingIsNotAllowed) {
    AllowMappedReads(false);
    {
        const MappedReads mapped(*db);
        EXPECT_FALSE(mapped.mapped());
        EXPECT_EQ(test::MapLimit(db->handle()), 0);
        EXPECT_EQ(Matches(), 10);
    }
    EXPECT_EQ(test::MapLimit(db->handle()), 0);
    AllowMappedReads(true);
    const MappedReads mapped(*db);
    EXPECT_TRUE(mapped.mapped());
}

TEST_F(MappedReadsTest, ACopyOfTheFileReadsMappedOnlyWhileItCopies) {
    const std::wstring copy = folder.File(L"copy.db");
    ASSERT_TRUE(db->CopyTo(copy));
    EXPECT_EQ(test::MapLimit(db->handle()), 0);
    std::unique_ptr<Database> copied = test::OpenStoreDatabase(copy);
    ASSERT_NE(copied, nullptr);
    int matches = 0;
    EXPECT_TRUE(NoteStore(*copied).ForEachNoteContaining("NEEDLE", [&](int64_t, std::string_view) { ++matches; }));
    EXPECT_EQ(matches, 10);
}

// The reporter of the fault, as the program's is: it tells, and the process ends with the code given.
void ReportForTest() noexcept {
    std::fputs("read fault reported\n", stderr);
    std::fflush(stderr);
}

// A fault the handler must leave alone reaches this handler of the test's, last in line, which counts
// it and resumes right after the raise.
std::atomic<int> g_passedOn{0};
LONG CALLBACK ResumeRaisedFault(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_IN_PAGE_ERROR && code != EXCEPTION_ACCESS_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
    ++g_passedOn;
    return EXCEPTION_CONTINUE_EXECUTION;
}

// A fault as the system raises it for a read: the address read is its second parameter.
void RaiseReadFault(DWORD code, const void* address) {
    const ULONG_PTR parameters[2] = {0, reinterpret_cast<ULONG_PTR>(address)};
    RaiseException(code, 0, 2, parameters);
}

// An address inside SQLite's own view of the connection's file, taken from the file's fetch method
// (the page is handed back at once; the view stays while the file is mapped); null when unmapped.
const void* AddressInSqliteView(sqlite3* connection) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(connection, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || file == nullptr ||
        file->pMethods == nullptr || file->pMethods->iVersion < 3) {
        return nullptr;
    }
    void* page = nullptr;
    if (file->pMethods->xFetch(file, 4096, 4096, &page) != SQLITE_OK || page == nullptr) return nullptr;
    (void)file->pMethods->xUnfetch(file, 4096, page);
    return static_cast<const char*>(page) + 100;
}

// A read-only view of a whole file of the test's own, unmapped when it goes.
class OwnView {
public:
    explicit OwnView(const std::wstring& path) {
        file_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
        if (file_ == INVALID_HANDLE_VALUE) return;
        mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping_ != nullptr) view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
    }
    ~OwnView() {
        if (view_ != nullptr) UnmapViewOfFile(view_);
        if (mapping_ != nullptr) CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    OwnView(const OwnView&) = delete;
    OwnView& operator=(const OwnView&) = delete;
    [[nodiscard]] const void* at(size_t offset) const { return static_cast<const char*>(view_) + offset; }
    [[nodiscard]] bool mapped() const { return view_ != nullptr; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
};

// Windows reports a page of the mapped file it cannot read as an in-page error, Wine (for a file cut
// short under the view) as an access violation: either one at an address in SQLite's view of the
// file, during a scan, is told to the user and ends the process with the code given.
TEST_F(MappedReadsTest, AReadFaultInTheScannedFileIsReportedAndEndsTheProcess) {
    for (const DWORD code : {DWORD{EXCEPTION_IN_PAGE_ERROR}, DWORD{EXCEPTION_ACCESS_VIOLATION}}) {
        SCOPED_TRACE(code == EXCEPTION_IN_PAGE_ERROR ? "in-page error" : "access violation");
        EXPECT_EXIT(
            {
                SetMappedReadFaultReporter(ReportForTest, 18);
                const MappedReads mapped(*db);
                const void* address = AddressInSqliteView(db->handle());
                if (!mapped.mapped() || address == nullptr) {
                    std::fputs("the file was not mapped\n", stderr);
                    std::exit(1);
                }
                RaiseReadFault(code, address);
                std::fputs("went on after the fault\n", stderr);
                std::exit(0);
            },
            testing::ExitedWithCode(18), "read fault reported");
    }
}

// Every other exception passes the handler untouched: any fault outside a scan, and during one a fault
// at an address outside the scanned file's views (in the program's image, in a view of another file)
// or with no address at all.
TEST_F(MappedReadsTest, EveryOtherFaultPassesTheHandlerUntouched) {
    const std::wstring otherPath = folder.File(L"other.bin");
    {
        const HANDLE other = CreateFileW(otherPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        const std::string bytes(65536, 'x');
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(other, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        CloseHandle(other);
    }
    const OwnView otherFile(otherPath);
    const OwnView sameFile(path);
    ASSERT_TRUE(otherFile.mapped());
    ASSERT_TRUE(sameFile.mapped());

    SetMappedReadFaultReporter(ReportForTest, 18);
    PVOID resume = AddVectoredExceptionHandler(0, ResumeRaisedFault);
    ASSERT_NE(resume, nullptr);
    const int onTheStack = 0;
    struct Case {
        const char* what;
        bool inScan;
        DWORD code;
        const void* address;  // null: the fault names no address
    };
    const Case cases[] = {
        {"outside a scan, in a view of the database file", false, EXCEPTION_IN_PAGE_ERROR, sameFile.at(4096)},
        {"outside a scan, an access violation there", false, EXCEPTION_ACCESS_VIOLATION, sameFile.at(4096)},
        {"in a scan, in the program's own image", true, EXCEPTION_IN_PAGE_ERROR,
         reinterpret_cast<const void*>(&ReportForTest)},
        {"in a scan, in a view of another file", true, EXCEPTION_IN_PAGE_ERROR, otherFile.at(100)},
        {"in a scan, an access violation in another file", true, EXCEPTION_ACCESS_VIOLATION, otherFile.at(100)},
        {"in a scan, an access violation on the stack", true, EXCEPTION_ACCESS_VIOLATION, &onTheStack},
        {"in a scan, a fault that names no address", true, EXCEPTION_IN_PAGE_ERROR, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<MappedReads> mapped;
        if (c.inScan) {
            mapped.emplace(*db);
            ASSERT_TRUE(mapped->mapped());
        }
        const int before = g_passedOn.load();
        if (c.address == nullptr) {
            RaiseException(c.code, 0, 0, nullptr);
        } else {
            RaiseReadFault(c.code, c.address);
        }
        EXPECT_EQ(g_passedOn.load(), before + 1) << "the fault did not reach the next handler";
    }
    // The scans still read what they read before.
    EXPECT_EQ(Matches(), 10);
    RemoveVectoredExceptionHandler(resume);
    SetMappedReadFaultReporter(nullptr, 0);
}

}  // namespace
}  // namespace lq
