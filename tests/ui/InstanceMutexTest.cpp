#include "InstanceMutex.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace lq
