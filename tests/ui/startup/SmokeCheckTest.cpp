#include "SmokeCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

TEST(MakeSmokeTextTest, SmokeAndTheTickCount) {
    EXPECT_EQ(MakeSmokeText(0), "smoke 0");
    EXPECT_EQ(MakeSmokeText(18446744073709551615ull), "smoke 18446744073709551615");
}

TEST(CheckSmokeNoteTest, PassesOnlyWhenTheNoteHoldsTheWholeText) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    int64_t noteId = 0;
    {
        std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr);
        const std::optional<int64_t> project = ProjectStore(*db).InsertProject("Inbox", 1);
        ASSERT_TRUE(project);
        NoteStore notes(*db);
        const std::optional<int64_t> note = notes.InsertNote(*project, "Memo", 1);
        ASSERT_TRUE(note);
        noteId = *note;
        ASSERT_TRUE(notes.SaveNote(noteId, "first line\r\nsmoke 1234", NoteViewState{}, 2));
    }
    EXPECT_EQ(CheckSmokeNote(path, noteId, "smoke 1234"), ExitCode::Ok);
    EXPECT_EQ(CheckSmokeNote(path, noteId, "line\r\nsmoke"), ExitCode::Ok);
    EXPECT_EQ(CheckSmokeNote(path, noteId, "smoke 12345"), ExitCode::SmokeCheckFailed);
    EXPECT_EQ(CheckSmokeNote(path, noteId, "smoke  1234"), ExitCode::SmokeCheckFailed);
    EXPECT_EQ(CheckSmokeNote(path, noteId + 1, "smoke 1234"), ExitCode::SmokeCheckFailed);
    EXPECT_EQ(CheckSmokeNote(folder.File(L"missing\\memo.db"), noteId, "smoke 1234"), ExitCode::SmokeCheckFailed);
}

}  // namespace
}  // namespace lq
