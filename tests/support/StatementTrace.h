#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct sqlite3;

namespace lq::test {

// Records the text of every statement that starts running on a connection while the object lives,
// so a test can tell what really reached SQLite (a skipped step, exactly one "ROLLBACK").
class StatementTrace {
public:
    explicit StatementTrace(sqlite3* handle);
    ~StatementTrace();
    StatementTrace(const StatementTrace&) = delete;
    StatementTrace& operator=(const StatementTrace&) = delete;

    // How many statements with exactly this text started.
    [[nodiscard]] size_t Runs(const std::string& text) const;

    std::vector<std::string> texts;

private:
    sqlite3* handle_;
};

}  // namespace lq::test
