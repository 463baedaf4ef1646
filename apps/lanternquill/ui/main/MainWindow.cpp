#include "ui/main/MainWindow.h"

#include "Bench.h"
#include "editor/EditorFonts.h"
#include "resources/ResourceIds.h"
#include "ui/commands/MainMenu.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/frame/MainWindowGeometry.h"
#include "ui/main/SplitterZone.h"
#include "workspace/Workspace.h"

namespace lq {
namespace {

void MarkIfTimed(Bench* bench, const char* name) {
    if (bench) bench->Mark(name);
}

}  // namespace

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() {
    // A window that outlives its object would hand later messages to freed memory: when creation
    // stopped halfway (or nobody destroyed the window), destroy it while the object still stands.
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
}

bool MainWindow::Create(HINSTANCE instanceHandle, Bench* benchMarks, bool closeAfterFirstPaintFlag) {
    instance = instanceHandle;
    bench = benchMarks;
    closeAfterFirstPaint = closeAfterFirstPaintFlag;

    confirm = [this](const std::wstring& text) { return ConfirmReplaceAll(hwnd, instance, text); };
    showMessage = [this](const std::wstring& text) { ShowMessage(hwnd, instance, text, MessageKind::Warning); };
    newProjectLabel = LoadResourceString(instance, IDS_NEW_PROJECT_BUTTON);

    mainMenu = BuildMainMenu(instance);
    if (mainMenu) {
        const int count = GetMenuItemCount(mainMenu);
        for (int i = 0; i < count; ++i) {
            if (HMENU popup = GetSubMenu(mainMenu, i)) darkMenu.MakeOwnerDrawn(popup);
        }
    }

    // The window procedure stores `hwnd` and `dpi` while the window is being created.
    const HWND made =
        CreateWindowExW(0, kMainWindowClass, L"Lanternquill", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (!made) return false;

    titleBarMode = ApplyDarkTitleBar(hwnd, true);
    MarkIfTimed(bench, "window_created");

    uiFont = CreateUiFont(dpi);

    if (!menuBar.Create(hwnd, instance, mainMenu, darkMenu)) return false;
    MarkIfTimed(bench, "menu_strip_created");

    const HWND tree = CreateSidebarControl(hwnd, instance);
    if (!tree) return false;
    if (!sidebar.Attach(tree)) return false;
    sidebar.SetMessageFilter([this](const MSG& message) { return PreTranslateMessage(message, FocusScope()); });
    const UINT treeDpi = GetDpiForWindow(tree);
    sidebar.SetDpi(treeDpi != 0 ? static_cast<int32_t>(treeDpi) : dpi);
    MarkIfTimed(bench, "sidebar_created");

    if (!editor.Create(hwnd, instance)) return false;
    ConfigureAutocomplete(editor);
    // A press a pixel or two beside the splitter grabs it rather than selecting text or a row.
    sidebar.SetTransparentZone([this](POINT screenPoint) { return InSplitterZone(*this, screenPoint); });
    AttachSplitterZone(editor.hwnd(), *this);
    MarkIfTimed(bench, "scintilla_created");

    const HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor && GetMonitorInfoW(monitor, &info)) {
        const RECT start = StartRectFor(info.rcWork, dpi);
        SetWindowPos(hwnd, nullptr, start.left, start.top, start.right - start.left, start.bottom - start.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    Layout();
    return true;
}

void MainWindow::SetWorkspace(Workspace* attached) {
    workspace = attached;
    completion.SetProvider({});
    if (hwnd) RemovePropW(hwnd, kWordsFilledProperty);
    wordFill.reset();
    if (!attached) return;
    wordFill = std::make_unique<WordIndexFill>(*attached);
    completion.SetProvider([this](WordIndex& index, FillDeadline deadline) {
        return wordFill ? wordFill->Step(index, deadline) : FillProgress::Done;
    });
}

void MainWindow::SetSidebarVisible(int32_t widthDip, bool visible) {
    sidebarVisible = visible;
    sidebarWidthDip = widthDip < 160 ? 160 : widthDip;
    const bool globalViewInPlace = globalView && globalViewShown;
    if (HWND tree = sidebar.hwnd()) ShowWindow(tree, visible && !globalViewInPlace ? SW_SHOWNA : SW_HIDE);
    if (globalView) globalView->Show(visible && globalViewShown);
    Layout();
    if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MainWindow::StaticWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

UINT ActivateMessageId() {
    static const UINT id = RegisterWindowMessageW(L"Lanternquill.Activate");
    return id;
}

}  // namespace lq
