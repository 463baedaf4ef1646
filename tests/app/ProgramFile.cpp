#include "ProgramFile.h"

#include <windows.h>

#include <vector>

namespace lq::test {

std::wstring ProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"lanternquill.exe";
        if (length < buffer.size()) {
            std::wstring self(buffer.data(), length);
            const size_t slash = self.find_last_of(L"\\/");
            return (slash == std::wstring::npos ? std::wstring() : self.substr(0, slash + 1)) + L"lanternquill.exe";
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace lq::test
