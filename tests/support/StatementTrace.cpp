#include "support/StatementTrace.h"

#include <sqlite3.h>

#include <algorithm>

namespace lq::test {
namespace {

int OnStatement(unsigned, void* context, void*, void* sql) {
    static_cast<StatementTrace*>(context)->texts.emplace_back(static_cast<const char*>(sql));
    return 0;
}

}  // namespace

StatementTrace::StatementTrace(sqlite3* handle) : handle_(handle) {
    sqlite3_trace_v2(handle_, SQLITE_TRACE_STMT, &OnStatement, this);
}

StatementTrace::~StatementTrace() {
    sqlite3_trace_v2(handle_, 0, nullptr, nullptr);
}

size_t StatementTrace::Runs(const std::string& text) const {
    return static_cast<size_t>(std::count(texts.begin(), texts.end(), text));
}

}  // namespace lq::test
