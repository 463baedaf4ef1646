#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace lq::test {

// A process of the given program started suspended, so that it does nothing while it lives; ended when
// the object goes. For tests that need a live process id of this or of another program.
class ParkedProcess {
public:
    explicit ParkedProcess(const std::wstring& program);
    ~ParkedProcess();
    ParkedProcess(const ParkedProcess&) = delete;
    ParkedProcess& operator=(const ParkedProcess&) = delete;

    [[nodiscard]] bool started() const noexcept { return process_ != nullptr; }
    [[nodiscard]] uint32_t id() const noexcept { return id_; }

private:
    HANDLE process_ = nullptr;
    uint32_t id_ = 0;
};

// The running test program's own file, and one of the system's programs (not this one).
[[nodiscard]] std::wstring ThisProgramPath();
[[nodiscard]] std::wstring OtherProgramPath();

// The id of a process that ran and has ended, its last handle closed: an id no running process has.
[[nodiscard]] uint32_t EndedProcessId();

}  // namespace lq::test
