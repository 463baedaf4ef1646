#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ExitCode.h"

namespace lq {

// The text the self-test types at the end of the start-up note: "smoke " and the tick count.
[[nodiscard]] std::string MakeSmokeText(uint64_t tickCount);

// The self-test's proof that its text reached the file: opens `path` again on a connection of its own
// (quietly), reads the note and looks for `text` as one run of bytes in its content. Ok when found;
// SmokeCheckFailed when the file cannot be opened, the note is gone or the text is not in it. The
// connection is closed before it returns.
[[nodiscard]] ExitCode CheckSmokeNote(const std::wstring& path, int64_t noteId, std::string_view text);

}  // namespace lq
