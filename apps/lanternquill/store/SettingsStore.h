#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lq {

class Database;

// The statements on table settings (text keys and values). Borrows the Database.
class SettingsStore {
public:
    explicit SettingsStore(Database& db) noexcept : db_(&db) {}

    // The stored value (an empty text when stored empty); empty when never stored or reading failed.
    [[nodiscard]] std::optional<std::string> GetSetting(std::string_view key);

    // Stores or replaces the value (kSetSettingSql); false when the statement failed.
    [[nodiscard]] bool SetSetting(std::string_view key, std::string_view value);

private:
    Database* db_;
};

}  // namespace lq
