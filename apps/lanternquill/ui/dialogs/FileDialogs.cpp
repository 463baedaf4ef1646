#include "ui/dialogs/FileDialogs.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>

#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"

namespace lq {

namespace {

// Owns one COM interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    [[nodiscard]] T* get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    // For the out-parameter of a COM call; releases what was held first.
    [[nodiscard]] T** Receive() noexcept {
        Reset();
        return &pointer_;
    }
    [[nodiscard]] void** ReceiveVoid() noexcept { return reinterpret_cast<void**>(Receive()); }
    void Reset() noexcept {
        if (pointer_ != nullptr) pointer_->Release();
        pointer_ = nullptr;
    }

private:
    T* pointer_ = nullptr;
};

// The dialog's type list as COMDLG_FILTERSPEC entries pointing into `types`.
std::vector<COMDLG_FILTERSPEC> FilterSpecs(const std::vector<FileType>& types) {
    std::vector<COMDLG_FILTERSPEC> specs;
    specs.reserve(types.size());
    for (const FileType& type : types) specs.push_back(COMDLG_FILTERSPEC{type.name.c_str(), type.pattern.c_str()});
    return specs;
}

}  // namespace

bool EnsureComInitialized() noexcept {
    // A function-local static is initialised once, thread-safely.
    static const bool usable = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    return usable;
}

std::wstring ShellItemPath(IShellItem* item) {
    if (item == nullptr) return {};
    PWSTR path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) return {};
    std::wstring result(path);
    CoTaskMemFree(path);
    return result;
}

std::vector<FileType> ImportFileTypes(HINSTANCE instance) {
    return {FileType{LoadResourceString(instance, IDS_FILE_TYPE_TEXT), L"*.txt;*.md"},
            FileType{LoadResourceString(instance, IDS_FILE_TYPE_ALL), L"*.*"}};
}

SaveDialogMode SaveDialogModeFor(HINSTANCE instance, bool isDatabase) {
    if (isDatabase)
        return SaveDialogMode{FileType{LoadResourceString(instance, IDS_FILE_TYPE_DATABASE), L"*.db"}, L"db"};
    // The text mode shares the import dialog's type name (which mentions .md) but saves .txt only.
    return SaveDialogMode{FileType{LoadResourceString(instance, IDS_FILE_TYPE_TEXT), L"*.txt"}, L"txt"};
}

std::wstring MakeBackupFileName(const SYSTEMTIME& now) {
    wchar_t name[64] = {};
    std::swprintf(name, sizeof(name) / sizeof(name[0]), L"Lanternquill-backup-%04u-%02u-%02u-%02u%02u.db",
                  static_cast<unsigned>(now.wYear), static_cast<unsigned>(now.wMonth), static_cast<unsigned>(now.wDay),
                  static_cast<unsigned>(now.wHour), static_cast<unsigned>(now.wMinute));
    return name;
}

std::vector<std::wstring> ShowImportDialog(HWND owner, HINSTANCE instance) {
    std::vector<std::wstring> paths;
    if (!EnsureComInitialized()) return paths;
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                dialog.ReceiveVoid()))) {
        return paths;
    }
    const std::vector<FileType> types = ImportFileTypes(instance);
    const std::vector<COMDLG_FILTERSPEC> specs = FilterSpecs(types);
    (void)dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
    (void)dialog->SetFileTypeIndex(1);  // one-based: the text files
    FILEOPENDIALOGOPTIONS options = 0;
    if (SUCCEEDED(dialog->GetOptions(&options))) {
        (void)dialog->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_FILEMUSTEXIST | FOS_FORCEFILESYSTEM);
    }
    if (FAILED(dialog->Show(owner))) return paths;
    ComPtr<IShellItemArray> results;
    if (FAILED(dialog->GetResults(results.Receive()))) return paths;
    DWORD count = 0;
    if (FAILED(results->GetCount(&count))) return paths;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        if (FAILED(results->GetItemAt(i, item.Receive()))) continue;
        std::wstring path = ShellItemPath(item.get());
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

std::optional<std::wstring> ShowSaveDialog(HWND owner, HINSTANCE instance, const std::wstring& folder,
                                           const std::wstring& fileName, bool isDatabase) {
    if (!EnsureComInitialized()) return std::nullopt;
    ComPtr<IFileSaveDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                dialog.ReceiveVoid()))) {
        return std::nullopt;
    }
    const SaveDialogMode mode = SaveDialogModeFor(instance, isDatabase);
    const COMDLG_FILTERSPEC spec{mode.type.name.c_str(), mode.type.pattern.c_str()};
    (void)dialog->SetFileTypes(1, &spec);
    (void)dialog->SetDefaultExtension(mode.defaultExtension.c_str());
    (void)dialog->SetFileName(fileName.c_str());
    if (!folder.empty()) {
        // A remembered folder that was moved or deleted is ignored: the shell's own choice stands.
        ComPtr<IShellItem> folderItem;
        if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem, folderItem.ReceiveVoid()))) {
            (void)dialog->SetFolder(folderItem.get());
        }
    }
    FILEOPENDIALOGOPTIONS options = 0;
    if (SUCCEEDED(dialog->GetOptions(&options))) {
        (void)dialog->SetOptions(options | FOS_OVERWRITEPROMPT | FOS_FORCEFILESYSTEM);
    }
    if (FAILED(dialog->Show(owner))) return std::nullopt;
    ComPtr<IShellItem> result;
    if (FAILED(dialog->GetResult(result.Receive()))) return std::nullopt;
    std::wstring path = ShellItemPath(result.get());
    if (path.empty()) return std::nullopt;
    return path;
}

}  // namespace lq
