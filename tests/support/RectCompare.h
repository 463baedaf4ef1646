#pragma once

#include <windows.h>

#include <ostream>

// Rectangles compared and printed by gtest's EXPECT_EQ. In the global namespace, where RECT is, so
// that argument-dependent lookup finds them.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
