#pragma once

#include <memory>
#include <string>

#include "store/Database.h"

namespace lq::test {

// A Database over a plain sqlite3_open_v2 connection (read-write, created when missing), without the
// checks, pragmas or schema of the program's own opening: for tests of the connection classes.
[[nodiscard]] std::unique_ptr<Database> OpenRawDatabase(const std::wstring& path);

}  // namespace lq::test
