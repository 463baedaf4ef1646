#include "store/ResultCodes.h"

#include <sqlite3.h>

namespace lq {

bool IsDamagedFileCode(int resultCode) noexcept {
    // Extended codes carry their primary code in the low eight bits.
    const int primary = resultCode & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool IsUnreadableDataCode(int resultCode) noexcept {
    return IsDamagedFileCode(resultCode) || (resultCode & 0xff) == SQLITE_IOERR;
}

}  // namespace lq
