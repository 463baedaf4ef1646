// Scans read the database file mapped only inside their scope, never while a save has failed, and a
// read fault in a mapped page ends the process only after the user has been told.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <cstdio>
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

// An in-page error outside any mapped scan is none of the handler's business: it passes it on (here
// to a handler of the test's own that resumes).
LONG CALLBACK ResumeInPageError(EXCEPTION_POINTERS* info) {
    return info->ExceptionRecord->ExceptionCode == EXCEPTION_IN_PAGE_ERROR ? EXCEPTION_CONTINUE_EXECUTION
                                                                           : EXCEPTION_CONTINUE_SEARCH;
}

TEST_F(MappedReadsTest, AReadFaultDuringAMappedScanIsReportedAndEndsTheProcess) {
    SetMappedReadFaultReporter(ReportForTest, 18);
    PVOID resume = AddVectoredExceptionHandler(0, ResumeInPageError);
    ASSERT_NE(resume, nullptr);
    // Outside a scan: passed on, resumed by the test's handler, the process goes on.
    RaiseException(EXCEPTION_IN_PAGE_ERROR, 0, 0, nullptr);
    EXPECT_EXIT(
        {
            const MappedReads mapped(*db);
            RaiseException(EXCEPTION_IN_PAGE_ERROR, 0, 0, nullptr);
            std::fputs("went on after the fault\n", stderr);
            std::exit(0);
        },
        testing::ExitedWithCode(18), "read fault reported");
    RemoveVectoredExceptionHandler(resume);
    SetMappedReadFaultReporter(nullptr, 0);
}

}  // namespace
}  // namespace lq
