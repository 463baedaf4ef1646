#pragma once

#include <cstdint>

namespace lq {

// A named object each process of this program holds for its whole life, so that another process can
// tell a running copy of the program by its process id, whatever its program file is called or
// wherever it lies ("lanternquill (1).exe" beside a download included). Called once, first thing.
void MarkThisProcessAsProgram() noexcept;

// Whether the process of that id holds the mark (a process of this program that is still running).
[[nodiscard]] bool IsMarkedAsProgram(uint32_t processId) noexcept;

}  // namespace lq
