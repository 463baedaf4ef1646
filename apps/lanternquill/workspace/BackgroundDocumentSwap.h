#pragma once

#include <optional>

#include "store/Rows.h"

namespace lq {

class Workspace;

// Attaches other notes' documents to the editor out of sight (drawing off), to read or mark them,
// and puts the document that was showing back with its view and drawing on, on every way out:
// a background document left attached would have the next save write its text into the open note.
class BackgroundDocumentSwap {
public:
    // Remembers (and holds a reference to) the attached document and the open note's view, and
    // switches the editor's drawing off.
    explicit BackgroundDocumentSwap(Workspace& workspace);
    // Restore, if not done yet; a component failure meanwhile is cleared, never thrown.
    ~BackgroundDocumentSwap();
    BackgroundDocumentSwap(const BackgroundDocumentSwap&) = delete;
    BackgroundDocumentSwap& operator=(const BackgroundDocumentSwap&) = delete;

    // Attaches a cached document while the swap lasts.
    void Attach(void* document);
    // Re-attaches the remembered document, restores the open note's view and redraws. Component
    // failures pass to the caller; drawing is switched back on regardless, and the destructor then
    // finishes what the failure cut short.
    void Restore();

private:
    void ReattachAndRestoreView();
    void RedrawOn() noexcept;

    Workspace& workspace_;
    void* original_ = nullptr;
    std::optional<NoteViewState> view_;
    bool restored_ = false;
};

}  // namespace lq
