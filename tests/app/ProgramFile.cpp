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

std::wstring ProgramString(UINT id) {
    const HMODULE program =
        LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (program == nullptr) return {};
    const wchar_t* text = nullptr;
    const int length = LoadStringW(program, id, reinterpret_cast<LPWSTR>(&text), 0);
    std::wstring copy = length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
    FreeLibrary(program);
    return copy;
}

std::wstring ProgramString(UINT id, const std::wstring& argument, const std::wstring& second) {
    // Both places are found in the text itself, as the program finds them.
    std::wstring text = ProgramString(id);
    const size_t first = text.find(L"%1");
    const size_t other = text.find(L"%2");
    if (other != std::wstring::npos && (first == std::wstring::npos || other > first)) {
        text.replace(other, 2, second);
        if (first != std::wstring::npos) text.replace(first, 2, argument);
    } else {
        if (first != std::wstring::npos) text.replace(first, 2, argument);
        if (other != std::wstring::npos) text.replace(other, 2, second);
    }
    return text;
}

}  // namespace lq::test
