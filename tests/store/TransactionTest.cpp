#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "store/Database.h"
#include "store/Transaction.h"
#include "support/RawDatabase.h"
#include "support/StatementTrace.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

class TransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = test::OpenRawDatabase(folder.File(L"transaction.db"));
        ASSERT_NE(db, nullptr);
        ASSERT_EQ(Exec("CREATE TABLE t(a INTEGER)"), SQLITE_OK);
        trace = std::make_unique<test::StatementTrace>(db->handle());
    }
    int Exec(const char* sql) { return sqlite3_exec(db->handle(), sql, nullptr, nullptr, nullptr); }
    int64_t Rows() {
        int64_t rows = -1;
        EXPECT_TRUE(db->QueryInt64(kCount, rows));
        return rows;
    }
    size_t Runs(const std::string& text) const { return trace->Runs(text); }

    static constexpr char kCount[] = "SELECT count(*) FROM t";
    test::TempFolder folder;
    std::unique_ptr<Database> db;
    std::unique_ptr<test::StatementTrace> trace;
};

TEST_F(TransactionTest, CommittedRowsStay) {
    {
        Transaction transaction(*db);
        ASSERT_TRUE(transaction.begun());
        ASSERT_EQ(Exec("INSERT INTO t VALUES(1)"), SQLITE_OK);
        EXPECT_TRUE(transaction.Commit());
    }
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(Runs("COMMIT"), 1u);
    EXPECT_EQ(Runs("ROLLBACK"), 0u);
}

TEST_F(TransactionTest, NotCommittedLeavesNoRowAndRollsBackExactlyOnce) {
    {
        Transaction transaction(*db);
        ASSERT_TRUE(transaction.begun());
        ASSERT_EQ(Exec("INSERT INTO t VALUES(1)"), SQLITE_OK);
    }
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Runs("BEGIN IMMEDIATE"), 1u);
    EXPECT_EQ(Runs("ROLLBACK"), 1u);
    EXPECT_TRUE(sqlite3_get_autocommit(db->handle()));
}

TEST_F(TransactionTest, FailedBeginLeavesTheOuterTransactionAlone) {
    ASSERT_EQ(Exec("BEGIN"), SQLITE_OK);
    ASSERT_EQ(Exec("INSERT INTO t VALUES(1)"), SQLITE_OK);
    trace->texts.clear();
    {
        Transaction inner(*db);
        EXPECT_FALSE(inner.begun());
        EXPECT_FALSE(inner.Commit());
    }
    EXPECT_EQ(Runs("COMMIT"), 0u);
    EXPECT_EQ(Runs("ROLLBACK"), 0u);
    EXPECT_FALSE(sqlite3_get_autocommit(db->handle())) << "the outer transaction must still be open";
    EXPECT_EQ(Rows(), 1);
    ASSERT_EQ(Exec("COMMIT"), SQLITE_OK);
    EXPECT_EQ(Rows(), 1);
}

TEST_F(TransactionTest, BeginFailsWhileAnotherConnectionHoldsTheWriteLock) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(sqlite3_db_filename(db->handle(), "main"), &other, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        Transaction transaction(*db);
        EXPECT_FALSE(transaction.begun());
        EXPECT_FALSE(transaction.Commit());
    }
    EXPECT_EQ(Runs("ROLLBACK"), 0u);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(other);

    Transaction again(*db);
    EXPECT_TRUE(again.begun());
    EXPECT_TRUE(again.Commit());
}

TEST_F(TransactionTest, FailedCommitRollsBack) {
    // A deferred foreign key violated at COMMIT makes the commit fail; the destructor then rolls back.
    ASSERT_EQ(Exec("PRAGMA foreign_keys = ON"), SQLITE_OK);
    ASSERT_EQ(Exec("CREATE TABLE parent(id INTEGER PRIMARY KEY);"
                   "CREATE TABLE child(p INTEGER REFERENCES parent(id) DEFERRABLE INITIALLY DEFERRED)"),
              SQLITE_OK);
    trace->texts.clear();
    {
        Transaction transaction(*db);
        ASSERT_TRUE(transaction.begun());
        ASSERT_EQ(Exec("INSERT INTO child VALUES(42)"), SQLITE_OK);
        EXPECT_FALSE(transaction.Commit());
    }
    EXPECT_EQ(Runs("ROLLBACK"), 1u);
    EXPECT_TRUE(sqlite3_get_autocommit(db->handle()));
    int64_t children = -1;
    ASSERT_TRUE(db->QueryInt64("SELECT count(*) FROM child", children));
    EXPECT_EQ(children, 0);
}

}  // namespace
}  // namespace lq
