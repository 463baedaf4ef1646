#include "store/SettingsStore.h"

#include "store/Database.h"
#include "store/SharedSql.h"

namespace lq {
namespace {

constexpr char kGetSettingSql[] = "SELECT value FROM settings WHERE key = ?1";

}  // namespace

std::optional<std::string> SettingsStore::GetSetting(std::string_view key) {
    Statement* statement = db_->Prepare(kGetSettingSql);
    if (statement == nullptr) return std::nullopt;
    std::optional<std::string> value;
    if (statement->Reset().BindText(1, key).Step()) value = std::string(statement->ColumnText(0));
    statement->Reset();
    return value;
}

bool SettingsStore::SetSetting(std::string_view key, std::string_view value) {
    Statement* statement = db_->Prepare(kSetSettingSql);
    if (statement == nullptr) return false;
    const bool ran = statement->Reset().BindText(1, key).BindText(2, value).Execute();
    statement->Reset();
    return ran;
}

}  // namespace lq
