#include "support/MapProbe.h"

#include <sqlite3.h>

#include <string>

namespace lq::test {
namespace {

void ProbingLower(sqlite3_context* context, int, sqlite3_value** arguments) {
    auto* probe = static_cast<MapProbe*>(sqlite3_user_data(context));
    probe->reads.push_back(MapLimit(sqlite3_context_db_handle(context)));
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    if (text == nullptr) {
        sqlite3_result_null(context);
        return;
    }
    std::string folded(text, static_cast<size_t>(sqlite3_value_bytes(arguments[0])));
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    sqlite3_result_text(context, folded.data(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

}  // namespace

int64_t MapLimit(sqlite3* connection) {
    sqlite3_int64 limit = -1;  // -1 asks without changing it
    if (sqlite3_file_control(connection, "main", SQLITE_FCNTL_MMAP_SIZE, &limit) != SQLITE_OK) return -1;
    return limit;
}

MapProbe::MapProbe(sqlite3* connection) : connection_(connection) {
    installed_ = sqlite3_create_function_v2(connection_, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, this,
                                            ProbingLower, nullptr, nullptr, nullptr) == SQLITE_OK;
    // The program installs no hook of its own: the probe has the connection's one.
    sqlite3_update_hook(
        connection_,
        [](void* data, int, const char*, const char*, sqlite3_int64) {
            auto* probe = static_cast<MapProbe*>(data);
            probe->writes.push_back(MapLimit(probe->connection_));
        },
        this);
}

MapProbe::~MapProbe() {
    sqlite3_update_hook(connection_, nullptr, nullptr);
    // Removing the override brings the built-in lower() back.
    if (installed_) {
        sqlite3_create_function_v2(connection_, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
    }
}

}  // namespace lq::test
