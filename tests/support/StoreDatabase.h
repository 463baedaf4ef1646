#pragma once

#include <memory>
#include <string>

#include "store/Database.h"

namespace lq::test {

// A database opened the program's way (Database::Open with the real migrations); null unless Ok.
[[nodiscard]] std::unique_ptr<Database> OpenStoreDatabase(const std::wstring& path);

// A file made with a plain connection running `script` (for files of other programs, other versions
// and damaged schemas); false when the script failed.
[[nodiscard]] bool MakeRawDatabase(const std::wstring& path, const char* script);

// The version-1 schema as this program creates it, written with a plain connection, then `extra`.
[[nodiscard]] bool MakeSchemaDatabase(const std::wstring& path, int userVersion, const char* extra = "");

// Switches an existing database file to WAL mode and runs `script` so that its changes stay as frames
// in the "-wal" beside it, with the "-shm" a writer leaves: the state of a file whose program is still
// running or was ended before it checkpointed. False when a step failed.
[[nodiscard]] bool AddPendingWalFrames(const std::wstring& path, const char* script);

}  // namespace lq::test
