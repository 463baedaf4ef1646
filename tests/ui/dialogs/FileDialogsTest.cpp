#include "ui/dialogs/FileDialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/DialogWatcher.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::DialogSnapshot;
using test::DialogWatcher;

HINSTANCE Self() {
    return GetModuleHandleW(nullptr);
}

std::wstring EditText(HWND edit) {
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}

// Types `text` into the dialog's file name box and presses OK; records what the box held first.
DialogWatcher::Respond TypeAndAccept(std::wstring text, std::wstring* proposed) {
    return [text = std::move(text), proposed](const DialogSnapshot& dialog) {
        if (dialog.edit == nullptr) return;  // the watcher then closes it and the test fails
        *proposed = EditText(dialog.edit);
        SendMessageTimeoutW(dialog.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000,
                            nullptr);
        test::PressDialogButton(dialog.window, IDOK);
    };
}

void MakeFile(const std::wstring& path) {
    std::ofstream(std::filesystem::path(path)) << "x";
}

TEST(FileDialogTypes, ImportOffersTextFilesThenEverything) {
    const std::vector<FileType> types = ImportFileTypes(Self());
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0].name, L"テキストファイル (*.txt, *.md)");
    EXPECT_EQ(types[0].pattern, L"*.txt;*.md");
    EXPECT_EQ(types[1].name, L"すべてのファイル");
    EXPECT_EQ(types[1].pattern, L"*.*");
}

TEST(FileDialogTypes, SaveModes) {
    const SaveDialogMode text = SaveDialogModeFor(Self(), false);
    EXPECT_EQ(text.type.name, L"テキストファイル (*.txt, *.md)");
    EXPECT_EQ(text.type.pattern, L"*.txt");
    EXPECT_EQ(text.defaultExtension, L"txt");
    const SaveDialogMode database = SaveDialogModeFor(Self(), true);
    EXPECT_EQ(database.type.name, L"Lanternquill のデータベース (*.db)");
    EXPECT_EQ(database.type.pattern, L"*.db");
    EXPECT_EQ(database.defaultExtension, L"db");
}

TEST(FileDialogTypes, BackupFileNameFromLocalTime) {
    SYSTEMTIME a{};
    a.wYear = 2026, a.wMonth = 12, a.wDay = 9, a.wHour = 14, a.wMinute = 5, a.wSecond = 59;
    EXPECT_EQ(MakeBackupFileName(a), L"Lanternquill-backup-2026-12-09-1405.db");
    SYSTEMTIME b{};
    b.wYear = 2027, b.wMonth = 3, b.wDay = 3, b.wHour = 9, b.wMinute = 7;
    EXPECT_EQ(MakeBackupFileName(b), L"Lanternquill-backup-2027-03-03-0907.db");
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

TEST(SaveDialog, OpensInTheFolderWithTheProposedNameAndAddsTheExtension) {
    test::TempFolder folder;
    struct Case {
        bool isDatabase;
        const wchar_t* proposedName;
        const wchar_t* typed;
        const wchar_t* expectedName;
    };
    const Case cases[] = {
        {true, L"Lanternquill-backup-2026-12-09-1405.db", L"backup", L"backup.db"},
        {false, L"日記.txt", L"日記", L"日記.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        std::wstring shown;
        DialogWatcher watcher(TypeAndAccept(c.typed, &shown));
        const auto path = ShowSaveDialog(nullptr, Self(), folder.path().wstring(), c.proposedName, c.isDatabase);
        ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
        EXPECT_FALSE(watcher.forced());
        EXPECT_EQ(shown, c.proposedName);
        ASSERT_TRUE(path);
        EXPECT_TRUE(SamePath(*path, folder.File(c.expectedName))) << testing::PrintToString(*path);
    }
}

TEST(SaveDialog, AFolderThatIsGoneIsIgnored) {
    test::TempFolder folder;
    std::wstring shown;
    const std::wstring target = folder.File(L"export.txt");
    DialogWatcher watcher(TypeAndAccept(target, &shown));
    const auto path = ShowSaveDialog(nullptr, Self(), folder.File(L"moved away"), L"note.txt", false);
    ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
    EXPECT_EQ(shown, L"note.txt");
    ASSERT_TRUE(path);
    EXPECT_TRUE(SamePath(*path, target)) << testing::PrintToString(*path);
}

TEST(SaveDialog, CancelGivesNothing) {
    DialogWatcher watcher([](const DialogSnapshot& d) { test::PressDialogButton(d.window, IDCANCEL); });
    EXPECT_FALSE(ShowSaveDialog(nullptr, Self(), L"", L"note.txt", false));
    ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
    EXPECT_FALSE(watcher.forced());
}

// A visible dialog of this process that belongs to `owner` (the overwrite question of a save dialog).
HWND FindDialogOwnedBy(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t kind[16] = {};
            GetClassNameW(window, kind, 16);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                GetWindow(window, GW_OWNER) == s->owner && std::wstring(kind) == L"#32770") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(SaveDialog, AnExistingFileIsOnlyTakenAfterTheOverwriteQuestion) {
    test::TempFolder folder;
    for (const bool isDatabase : {true, false}) {
        SCOPED_TRACE(isDatabase ? "backup" : "export");
        const std::wstring existing = folder.File(isDatabase ? L"old.db" : L"old.txt");
        MakeFile(existing);
        bool asked = false;
        bool stayedOpen = false;
        DialogWatcher watcher([&](const DialogSnapshot& dialog) {
            if (dialog.edit == nullptr) return;
            SendMessageTimeoutW(dialog.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(existing.c_str()),
                                SMTO_ABORTIFHUNG, 2000, nullptr);
            test::PressDialogButton(dialog.window, IDOK);
            HWND question = nullptr;
            for (int i = 0; i < 150 && question == nullptr; ++i, Sleep(20)) question = FindDialogOwnedBy(dialog.window);
            asked = question != nullptr;
            if (asked) {
                test::PressDialogButton(question, IDNO);  // "no" goes back to the save dialog
                Sleep(300);
                stayedOpen = IsWindow(dialog.window) && IsWindowVisible(dialog.window);
            }
            test::PressDialogButton(dialog.window, IDCANCEL);
        });
        const auto path = ShowSaveDialog(nullptr, Self(), folder.path().wstring(), L"new", isDatabase);
        ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
        EXPECT_FALSE(watcher.forced());
        EXPECT_TRUE(asked) << "no overwrite question";
        EXPECT_TRUE(stayedOpen) << "answering no closed the save dialog";
        EXPECT_FALSE(path) << testing::PrintToString(*path);
        EXPECT_EQ(test::ReadFileBytes(existing), "x");
    }
}

TEST(ImportDialog, GivesTheChosenFiles) {
    test::TempFolder folder;
    const std::wstring a = folder.File(L"a.txt");
    const std::wstring b = folder.File(L"b.md");
    MakeFile(a);
    MakeFile(b);
    std::wstring shown;
    DialogWatcher one(TypeAndAccept(a, &shown));
    const std::vector<std::wstring> chosen = ShowImportDialog(nullptr, Self());
    ASSERT_TRUE(one.Finish()) << "no dialog appeared";
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_TRUE(SamePath(chosen[0], a)) << testing::PrintToString(chosen[0]);

    DialogWatcher two(TypeAndAccept(L"\"" + a + L"\" \"" + b + L"\"", &shown));
    const std::vector<std::wstring> both = ShowImportDialog(nullptr, Self());
    ASSERT_TRUE(two.Finish()) << "no dialog appeared";
    ASSERT_EQ(both.size(), 2u);
    EXPECT_TRUE(SamePath(both[0], a)) << testing::PrintToString(both[0]);
    EXPECT_TRUE(SamePath(both[1], b)) << testing::PrintToString(both[1]);
}

TEST(ImportDialog, CancelGivesAnEmptyList) {
    DialogWatcher watcher([](const DialogSnapshot& d) { test::PressDialogButton(d.window, IDCANCEL); });
    EXPECT_TRUE(ShowImportDialog(nullptr, Self()).empty());
    ASSERT_TRUE(watcher.Finish()) << "no dialog appeared";
    EXPECT_FALSE(watcher.forced());
}

}  // namespace
}  // namespace lq
