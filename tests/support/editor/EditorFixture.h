#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "support/editor/EditorTestWindow.h"

namespace lq::test {

// A test over a fresh hidden editor window of the given client size, made before each test and
// destroyed after it; the test stops at once when the window cannot be made.
class EditorFixture : public ::testing::Test {
protected:
    explicit EditorFixture(int clientWidth = 800, int clientHeight = 600)
        : clientWidth_(clientWidth), clientHeight_(clientHeight) {}

    void SetUp() override {
        window_ = std::make_unique<EditorTestWindow>(clientWidth_, clientHeight_);
        ASSERT_TRUE(window_->ok());
    }

    EditorView& view() { return window_->view(); }
    Scintilla::ScintillaCall& call() { return window_->call(); }

    std::unique_ptr<EditorTestWindow> window_;

private:
    int clientWidth_;
    int clientHeight_;
};

}  // namespace lq::test
