#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "store/Database.h"
#include "support/RawDatabase.h"
#include "support/StatementTrace.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

class StatementCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = test::OpenRawDatabase(folder.File(L"cache.db"));
        ASSERT_NE(db, nullptr);
        ASSERT_EQ(sqlite3_exec(db->handle(), "CREATE TABLE t(a INTEGER, b TEXT NOT NULL DEFAULT 'x')", nullptr,
                               nullptr, nullptr),
                  SQLITE_OK);
    }
    test::TempFolder folder;
    std::unique_ptr<Database> db;
};

constexpr char kSelectCount[] = "SELECT count(*) FROM t";

TEST_F(StatementCacheTest, SameLiteralGivesSameStatementAndEqualTextElsewhereASecondOne) {
    Statement* first = db->Prepare(kSelectCount);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(db->Prepare(kSelectCount), first);

    // Equal content at another address: a statement of its own.
    std::string copy = kSelectCount;
    Statement* other = db->Prepare(copy.c_str());
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(db->Prepare(copy.c_str()), other);
}

TEST_F(StatementCacheTest, FailedPrepareCachesNothingAndSucceedsOnceTheTableExists) {
    static constexpr char kSelectLater[] = "SELECT count(*) FROM later";
    EXPECT_EQ(db->Prepare(kSelectLater), nullptr);
    EXPECT_NE(db->LastError().find("later"), std::string::npos) << db->LastError();
    EXPECT_EQ(db->Prepare(kSelectLater), nullptr);

    ASSERT_EQ(sqlite3_exec(db->handle(), "CREATE TABLE later(x)", nullptr, nullptr, nullptr), SQLITE_OK);
    Statement* statement = db->Prepare(kSelectLater);
    ASSERT_NE(statement, nullptr);
    statement->Reset();
    ASSERT_TRUE(statement->Step());
    EXPECT_EQ(statement->ColumnInt64(0), 0);
    statement->Reset();
}

TEST_F(StatementCacheTest, EmptyTextIsNotAStatement) {
    EXPECT_EQ(db->Prepare(""), nullptr);
    EXPECT_EQ(db->Prepare("-- only a comment"), nullptr);
}

TEST_F(StatementCacheTest, FailedStepStaysFailedWithoutTouchingSqliteUntilReset) {
    static constexpr char kInsert[] = "INSERT INTO t(a, b) VALUES(?1, ?2)";
    Statement* insert = db->Prepare(kInsert);
    ASSERT_NE(insert, nullptr);

    test::StatementTrace trace(db->handle());
    // b is NOT NULL and left unbound: the step fails with a constraint error.
    EXPECT_FALSE(insert->Reset().BindInt64(1, 1).Execute());
    EXPECT_FALSE(insert->ok());
    EXPECT_EQ(insert->rc() & 0xff, SQLITE_CONSTRAINT);
    ASSERT_EQ(trace.texts.size(), 1u);

    EXPECT_FALSE(insert->Step());
    EXPECT_FALSE(insert->Execute());
    EXPECT_FALSE(insert->BindText(2, "late").Execute());
    EXPECT_EQ(trace.texts.size(), 1u) << "a failed statement must not run again before Reset";

    EXPECT_TRUE(insert->Reset().BindInt64(1, 2).BindText(2, "ok").Execute());
    EXPECT_TRUE(insert->ok());
    EXPECT_EQ(insert->rc(), 0);
    EXPECT_EQ(db->Changes(), 1);
    EXPECT_EQ(db->LastInsertRowId(), 1);
    insert->Reset();
    EXPECT_EQ(trace.texts.size(), 2u);
}

TEST_F(StatementCacheTest, FailedBindMakesTheStepSkip) {
    static constexpr char kInsert[] = "INSERT INTO t(a, b) VALUES(?1, ?2)";
    Statement* insert = db->Prepare(kInsert);
    ASSERT_NE(insert, nullptr);
    // Parameter 3 does not exist: the bind fails, the later bind is still made, the step is skipped.
    insert->Reset().BindInt64(3, 1).BindText(2, "text");
    EXPECT_FALSE(insert->ok());
    EXPECT_EQ(insert->rc(), SQLITE_RANGE);
    EXPECT_FALSE(insert->Execute());
    insert->Reset();
    int64_t rows = -1;
    ASSERT_TRUE(db->QueryInt64(kSelectCount, rows));
    EXPECT_EQ(rows, 0);
}

TEST_F(StatementCacheTest, ParameterLeftUnboundIsNullEvenAfterAnEarlierUseBoundIt) {
    static constexpr char kEcho[] = "SELECT ?1 IS NULL, coalesce(?1, 'null')";
    Statement* echo = db->Prepare(kEcho);
    ASSERT_NE(echo, nullptr);
    ASSERT_TRUE(echo->Reset().BindText(1, "value").Step());
    EXPECT_EQ(echo->ColumnInt64(0), 0);
    EXPECT_EQ(echo->ColumnText(1), "value");
    echo->Reset();

    ASSERT_TRUE(echo->Reset().Step());
    EXPECT_EQ(echo->ColumnInt64(0), 1);
    EXPECT_EQ(echo->ColumnText(1), "null");
    echo->Reset();
}

TEST_F(StatementCacheTest, TextIsBoundAsACopyAndReadBackWithItsLength) {
    static constexpr char kEcho[] = "SELECT ?1, length(CAST(?1 AS BLOB)), ?2";
    Statement* echo = db->Prepare(kEcho);
    ASSERT_NE(echo, nullptr);
    std::string withNul("a\0b", 3);
    {
        std::string temporary = "日本語のテキスト";
        echo->Reset().BindText(1, withNul).BindText(2, temporary);
        temporary.assign(temporary.size(), '?');  // the statement holds its own copy
    }
    ASSERT_TRUE(echo->Step());
    EXPECT_EQ(echo->ColumnText(0), withNul);
    EXPECT_EQ(echo->ColumnInt64(1), 3);
    EXPECT_EQ(echo->ColumnText(2), "日本語のテキスト");
    echo->Reset();

    // An empty view is the empty string, not NULL; a NULL column reads as an empty view.
    static constexpr char kNullTest[] = "SELECT ?1 IS NULL, NULL";
    Statement* nullTest = db->Prepare(kNullTest);
    ASSERT_NE(nullTest, nullptr);
    ASSERT_TRUE(nullTest->Reset().BindText(1, std::string_view()).Step());
    EXPECT_EQ(nullTest->ColumnInt64(0), 0);
    EXPECT_TRUE(nullTest->ColumnText(1).empty());
    nullTest->Reset();
}

TEST_F(StatementCacheTest, QueryInt64ReadsTheFirstRowAndLeavesTheValueAloneWithoutOne) {
    ASSERT_EQ(sqlite3_exec(db->handle(), "INSERT INTO t(a) VALUES(7), (9)", nullptr, nullptr, nullptr), SQLITE_OK);
    static constexpr char kFirst[] = "SELECT a FROM t ORDER BY a";
    static constexpr char kNone[] = "SELECT a FROM t WHERE a > 100";
    int64_t value = -5;
    EXPECT_TRUE(db->QueryInt64(kFirst, value));
    EXPECT_EQ(value, 7);
    value = -5;
    EXPECT_FALSE(db->QueryInt64(kNone, value));
    EXPECT_EQ(value, -5);
    EXPECT_FALSE(db->QueryInt64("SELECT nothing FROM nowhere", value));
    EXPECT_EQ(value, -5);
    // The statement left un-reset by the empty result works on its next use.
    EXPECT_FALSE(db->QueryInt64(kNone, value));
    EXPECT_TRUE(db->QueryInt64(kFirst, value));
}

TEST_F(StatementCacheTest, AddressHashIsFnv1aOverTheAddressBytesLowestFirst) {
    const auto hash = SqlTextAddressHash{}(reinterpret_cast<const char*>(uintptr_t{0x0102030405060708ull}));
    uint64_t expected = 0xcbf29ce484222325ull;
    for (uint8_t byte : {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}) {
        expected = (expected ^ byte) * 0x100000001b3ull;
    }
    EXPECT_EQ(hash, expected);
    EXPECT_NE(SqlTextAddressHash{}(kSelectCount), SqlTextAddressHash{}(kSelectCount + 8));
}

}  // namespace
}  // namespace lq
