#include "ui/sidebar/SidebarTree.h"

#include <uxtheme.h>

namespace lq {

HWND CreateSidebarControl(HWND parent, HINSTANCE instance) noexcept {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | TVS_HASBUTTONS |
                             TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS | TVS_NONEVENHEIGHT | TVS_NOHSCROLL;
    HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"", kStyle, 0, 0, 0, 0, parent, nullptr, instance, nullptr);
    if (!tree) return nullptr;
    SendMessageW(tree, TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER | TVS_EX_FADEINOUTEXPANDOS, TVS_EX_DOUBLEBUFFER);
    SetWindowTheme(tree, L"DarkMode_Explorer", nullptr);
    SendMessageW(tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(RGB(37, 37, 38)));
    SendMessageW(tree, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(RGB(200, 200, 200)));
    return tree;
}

}  // namespace lq
