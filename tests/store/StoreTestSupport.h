#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "store/Database.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq::test {

// A fresh database opened the program's way, for the statement sets.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr);
    }
    TempFolder folder;
    std::wstring path = folder.File(L"memo.db");
    std::unique_ptr<Database> db;
};

}  // namespace lq::test
