#pragma once

#include <windows.h>

namespace lq {

// One reference to a document of the editing component, owned: move-only, released on destruction.
// The document is released by a message to the window that created it, and only while that window
// still exists (a document whose window is gone went with it).
class ScintillaDocRef {
public:
    ScintillaDocRef() noexcept = default;
    // Takes over the reference SCI_CREATEDOCUMENT handed out for `document`, made by `owner`.
    ScintillaDocRef(HWND owner, void* document) noexcept : owner_(owner), document_(document) {}
    ~ScintillaDocRef() { Release(); }
    ScintillaDocRef(ScintillaDocRef&& other) noexcept;
    ScintillaDocRef& operator=(ScintillaDocRef&& other) noexcept;
    ScintillaDocRef(const ScintillaDocRef&) = delete;
    ScintillaDocRef& operator=(const ScintillaDocRef&) = delete;

    // SCI_RELEASEDOCUMENT to the owner when both are set and the owner is still a window; then empty.
    void Release() noexcept;

    [[nodiscard]] HWND owner() const noexcept { return owner_; }
    [[nodiscard]] void* document() const noexcept { return document_; }
    [[nodiscard]] explicit operator bool() const noexcept { return document_ != nullptr; }

private:
    HWND owner_ = nullptr;
    void* document_ = nullptr;
};

}  // namespace lq
