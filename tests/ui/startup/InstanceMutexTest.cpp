#include "InstanceMutex.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/RefusedMutex.h"

namespace lq {
namespace {

std::wstring UniqueName() {
    return L"Local\\Lanternquill-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64());
}

TEST(InstanceMutexTest, TheSecondHolderOfANameLearnsThatItExists) {
    const std::wstring name = UniqueName();
    InstanceMutex first = InstanceMutex::Create(name);
    EXPECT_TRUE(first.held());
    EXPECT_FALSE(first.alreadyExisted());
    {
        InstanceMutex second = InstanceMutex::Create(name);
        EXPECT_TRUE(second.alreadyExisted());
    }
    // Closing the last handle frees the name for the next run.
    first.Close();
    EXPECT_FALSE(first.held());
    InstanceMutex next = InstanceMutex::Create(name);
    EXPECT_TRUE(next.held());
    EXPECT_FALSE(next.alreadyExisted());
}

TEST(InstanceMutexTest, ANameThatCannotBeMadeLeavesNoGuardAndNoClaim) {
    // A backslash beyond the namespace prefix is not a valid object name.
    const InstanceMutex mutex = InstanceMutex::Create(L"Local\\Lanternquill\\bad\\name");
    EXPECT_FALSE(mutex.held());
    EXPECT_FALSE(mutex.alreadyExisted());
}

TEST(InstanceMutexTest, AMutexThatMayNotBeOpenedCountsAsExistingWithoutAGuard) {
    const std::wstring name = UniqueName();
    test::RefusedMutex other(name);
    ASSERT_TRUE(other.made());
    InstanceMutex refused = InstanceMutex::Create(name);
    EXPECT_TRUE(refused.alreadyExisted());
    EXPECT_FALSE(refused.held());
    EXPECT_FALSE(refused.TakeOver(10));
}

TEST(InstanceMutexTest, TakingOverWaitsBrieflyForAHolderThatLetsGo) {
    struct Case {
        const char* what;
        DWORD holdMs;
        bool release;
        bool taken;
    };
    const Case cases[] = {
        {"released", 100, true, true},
        {"abandoned by an ending thread", 100, false, true},
        {"held past the wait", 2000, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring name = UniqueName() + L"-" + std::to_wstring(c.holdMs) + (c.release ? L"r" : L"a");
        HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread holder([&] {
            const HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
            SetEvent(created);
            Sleep(c.holdMs);
            if (c.release) ReleaseMutex(mutex);
            CloseHandle(mutex);
        });
        WaitForSingleObject(created, 5000);
        CloseHandle(created);
        {
            InstanceMutex second = InstanceMutex::Create(name);
            ASSERT_TRUE(second.alreadyExisted());
            EXPECT_EQ(second.TakeOver(1000), c.taken);
            EXPECT_EQ(second.alreadyExisted(), !c.taken);
        }
        holder.join();
    }
}

}  // namespace
}  // namespace lq
