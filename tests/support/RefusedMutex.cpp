#include "support/RefusedMutex.h"

namespace lq::test {

RefusedMutex::RefusedMutex(const std::wstring& name) {
    // An empty DACL, unlike a missing one, grants no access at all.
    if (!InitializeAcl(&acl_, sizeof(acl_), ACL_REVISION) ||
        !InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor_, TRUE, &acl_, FALSE)) {
        return;
    }
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor_, FALSE};
    handle_ = CreateMutexW(&attributes, TRUE, name.c_str());
}

RefusedMutex::~RefusedMutex() {
    if (handle_ != nullptr) CloseHandle(handle_);
}

bool OpeningIsRefused(const std::wstring& name) {
    SetLastError(0);
    const HANDLE probe = CreateMutexW(nullptr, TRUE, name.c_str());
    const DWORD error = GetLastError();
    if (probe != nullptr) CloseHandle(probe);
    return probe == nullptr && error == ERROR_ACCESS_DENIED;
}

}  // namespace lq::test
