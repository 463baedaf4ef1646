#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/DatabasePaths.h"
#include "platform/OneDriveFolders.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

TEST(IsPathUnderAnyRootTest, Cases) {
    const std::vector<std::wstring> roots{L"", L"C:\\USERS\\A\\ONEDRIVE", L"D:\\SYNC\\"};
    struct Case {
        const wchar_t* path;
        bool under;
    };
    const Case cases[] = {
        {L"C:\\USERS\\A\\ONEDRIVE\\NOTES\\MEMO.DB", true},
        {L"C:\\USERS\\A\\ONEDRIVE\\MEMO.DB", true},
        {L"C:\\USERS\\A\\ONEDRIVEX\\MEMO.DB", false},
        {L"C:\\USERS\\A\\ONEDRIVE", false},
        {L"C:\\USERS\\A\\ONEDRIVE\\", false},
        {L"C:\\USERS\\A\\onedrive\\MEMO.DB", false},  // both sides come upper-cased; no folding here
        {L"D:\\SYNC\\X.DB", true},
        {L"D:\\SYNC", false},
        {L"E:\\MEMO.DB", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsPathUnderAnyRoot(c.path, roots), c.under) << c.path;
    EXPECT_FALSE(IsPathUnderAnyRoot(L"C:\\X", {}));
}

using test::ScopedEnvironment;

// Accounts written under HKCU, named so that they can never be a real account of the machine's user;
// everything it created is removed again and real accounts are left alone.
class ScopedAccounts {
public:
    ScopedAccounts() {
        createdAccountsKey_ = !Exists(kAccounts);
        createdOneDriveKey_ = !Exists(L"Software\\Microsoft\\OneDrive");
    }
    // True when the user already has accounts, whose folders then come among the roots too.
    [[nodiscard]] bool HadAccounts() const {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kAccounts, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
        DWORD subkeys = 0;
        const bool any = RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                         subkeys > accounts_.size();
        RegCloseKey(opened);
        return any;
    }
    ~ScopedAccounts() {
        for (const std::wstring& account : accounts_)
            RegDeleteTreeW(HKEY_CURRENT_USER, (kAccounts + (L"\\" + account)).c_str());
        if (createdAccountsKey_) RegDeleteKeyW(HKEY_CURRENT_USER, kAccounts);
        if (createdOneDriveKey_) RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Microsoft\\OneDrive");
    }
    ScopedAccounts(const ScopedAccounts&) = delete;
    ScopedAccounts& operator=(const ScopedAccounts&) = delete;

    bool Add(const std::wstring& name, const std::wstring& folder, DWORD type = REG_SZ) {
        const std::wstring account = L"LanternquillTest-" + name;
        if (Exists((std::wstring(kAccounts) + L"\\" + account).c_str())) return false;
        accounts_.push_back(account);
        const std::wstring key = std::wstring(kAccounts) + L"\\" + account;
        return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"UserFolder", type, folder.c_str(),
                               static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

private:
    static constexpr const wchar_t* kAccounts = L"Software\\Microsoft\\OneDrive\\Accounts";
    static bool Exists(const wchar_t* key) {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
        RegCloseKey(opened);
        return true;
    }
    std::vector<std::wstring> accounts_;
    bool createdAccountsKey_ = false;
    bool createdOneDriveKey_ = false;
};

TEST(CollectOneDriveRootsTest, FromEnvironmentAndRegistryWithoutDuplicates) {
    test::TempFolder personal;
    test::TempFolder business;
    const std::wstring longFolder = business.File(std::wstring(150, L'b') + L"\\" + std::wstring(150, L'c'));
    {
        ScopedEnvironment oneDrive(L"OneDrive", personal.path().c_str());
        ScopedEnvironment consumer(L"OneDriveConsumer", personal.path().c_str());
        ScopedEnvironment commercial(L"OneDriveCommercial", nullptr);
        ScopedAccounts accounts;
        ASSERT_TRUE(accounts.Add(L"Personal", personal.path().wstring()));
        ASSERT_TRUE(accounts.Add(L"Business1", business.path().wstring()));
        ASSERT_TRUE(accounts.Add(L"Business2", longFolder));         // longer than 260 characters
        ASSERT_TRUE(accounts.Add(L"Business3", L"12", REG_BINARY));  // not text: skipped
        ASSERT_TRUE(accounts.Add(L"Business4", L""));

        const std::vector<std::wstring> roots = CollectOneDriveRoots();
        const std::vector<std::wstring> expected{NormalizePath(personal.path().wstring()),
                                                 NormalizePath(business.path().wstring()), NormalizePath(longFolder)};
        // The user's own accounts, where there are any, add their folders; ours come in this order.
        std::vector<std::wstring> ours;
        for (const std::wstring& root : roots) {
            if (std::find(expected.begin(), expected.end(), root) != expected.end()) ours.push_back(root);
        }
        EXPECT_EQ(ours, expected);
        if (!accounts.HadAccounts()) {
            EXPECT_EQ(roots, expected);
        }
        EXPECT_TRUE(IsPathUnderAnyRoot(NormalizePath(business.File(L"memo.db")), roots));
        EXPECT_FALSE(IsPathUnderAnyRoot(NormalizePath(business.path().wstring()), roots));
    }
    HKEY left = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\OneDrive\\Accounts\\LanternquillTest-Personal", 0,
                            KEY_READ, &left),
              ERROR_SUCCESS);
}

TEST(CollectOneDriveRootsTest, NothingConfiguredGivesNoRoots) {
    ScopedEnvironment oneDrive(L"OneDrive", nullptr);
    ScopedEnvironment consumer(L"OneDriveConsumer", L"");
    ScopedEnvironment commercial(L"OneDriveCommercial", nullptr);
    ScopedAccounts accounts;  // adds nothing
    if (accounts.HadAccounts()) GTEST_SKIP() << "this user has OneDrive accounts of their own";
    EXPECT_TRUE(CollectOneDriveRoots().empty());
}

}  // namespace
}  // namespace lq
