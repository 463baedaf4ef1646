#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace lq::test {

// Sets an environment variable for the test's length and puts the old value back (a null value
// removes it). Programs the test starts meanwhile inherit it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t buffer[32768];
        const DWORD length = GetEnvironmentVariableW(name, buffer, 32768);
        if (length > 0 && length < 32768) old_ = std::wstring(buffer, length);
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name_;
    std::optional<std::wstring> old_;
};

}  // namespace lq::test
