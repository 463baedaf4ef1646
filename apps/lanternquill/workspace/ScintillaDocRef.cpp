#include "workspace/ScintillaDocRef.h"

#include <utility>

#include "editor/ScintillaHeaders.h"

namespace lq {

ScintillaDocRef::ScintillaDocRef(ScintillaDocRef&& other) noexcept
    : owner_(std::exchange(other.owner_, nullptr)), document_(std::exchange(other.document_, nullptr)) {}

ScintillaDocRef& ScintillaDocRef::operator=(ScintillaDocRef&& other) noexcept {
    if (this != &other) {
        Release();
        owner_ = std::exchange(other.owner_, nullptr);
        document_ = std::exchange(other.document_, nullptr);
    }
    return *this;
}

void ScintillaDocRef::Release() noexcept {
    // Sent to the window rather than through the call wrapper: the wrapper may be gone with its
    // host by the time the last references are dropped, and a destroyed window needs no message.
    if (document_ != nullptr && owner_ != nullptr && IsWindow(owner_)) {
        SendMessageW(owner_, SCI_RELEASEDOCUMENT, 0, reinterpret_cast<LPARAM>(document_));
    }
    owner_ = nullptr;
    document_ = nullptr;
}

}  // namespace lq
