#include "support/SecondDialog.h"

namespace lq::test {
namespace {

struct Search {
    DWORD processId;
    HWND known;
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (window == search->known || process != search->processId || !IsWindowVisible(window) ||
        lstrcmpW(name, L"#32770") != 0) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindOtherDialog(DWORD processId, HWND known) {
    Search search{processId, known, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace lq::test
