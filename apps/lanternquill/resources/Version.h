#pragma once

// The program's version: the one place it is written. The version resource (version.rc) shows it in
// the file's properties; the release script names nothing of its own.
#define LQ_VERSION_MAJOR 1
#define LQ_VERSION_MINOR 0
#define LQ_VERSION_PATCH 0
#define LQ_VERSION_BUILD 0

#define LQ_VERSION_STRINGIFY2(x) #x
#define LQ_VERSION_STRINGIFY(x) LQ_VERSION_STRINGIFY2(x)
#define LQ_VERSION_TEXT                                                                                             \
    LQ_VERSION_STRINGIFY(LQ_VERSION_MAJOR)                                                                          \
    "." LQ_VERSION_STRINGIFY(LQ_VERSION_MINOR) "." LQ_VERSION_STRINGIFY(LQ_VERSION_PATCH) "." LQ_VERSION_STRINGIFY( \
        LQ_VERSION_BUILD)
