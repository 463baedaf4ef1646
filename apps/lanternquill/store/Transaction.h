#pragma once

namespace lq {

class Database;

// "BEGIN IMMEDIATE" on construction; rolled back on leaving the scope unless committed.
// A transaction that did not begin (another connection held the write lock past the busy timeout)
// commits nothing and rolls nothing back, so it never ends an outer transaction by mistake.
class Transaction {
public:
    explicit Transaction(Database& db) noexcept;
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    [[nodiscard]] bool begun() const noexcept { return begun_; }
    // True when "COMMIT" succeeded; false, with nothing run, when the transaction never began.
    [[nodiscard]] bool Commit() noexcept;

private:
    Database* db_;
    bool begun_ = false;
    bool committed_ = false;
};

}  // namespace lq
