# The dependencies, built from the sources scripts/setup.sh prepared in .deps/.

set(LQ_SQLITE_DIR ${LQ_DEPS_DIR}/sqlite)
set(LQ_SCINTILLA_DIR ${LQ_DEPS_DIR}/scintilla)
if(NOT EXISTS ${LQ_SQLITE_DIR}/sqlite3.c OR NOT EXISTS ${LQ_SCINTILLA_DIR}/call/ScintillaCall.cxx)
  message(FATAL_ERROR "Third-party sources are missing in ${LQ_DEPS_DIR}: run scripts/setup.sh first.")
endif()

# SQLite: thread-safe, synchronous FULL and 4096-byte pages by default, the system allocator, no ICU.
# Memory-mapped reads up to 2 GiB for the scans that ask for them (store/MappedReads), none by default;
# SQLITE_MMAP_READWRITE stays off, so a mapping is only ever read and every write goes through the file.
add_library(sqlite3 STATIC ${LQ_SQLITE_DIR}/sqlite3.c)
target_include_directories(sqlite3 SYSTEM PUBLIC ${LQ_SQLITE_DIR})
target_compile_definitions(sqlite3 PRIVATE
  SQLITE_THREADSAFE=1
  SQLITE_DEFAULT_SYNCHRONOUS=2
  SQLITE_DEFAULT_PAGE_SIZE=4096
  SQLITE_MAX_MMAP_SIZE=0x7fff0000
  SQLITE_DEFAULT_MMAP_SIZE=0
  SQLITE_SYSTEM_MALLOC=1
  SQLITE_OMIT_LOAD_EXTENSION=1
  SQLITE_WIN32_NO_ANSI=1)
target_compile_options(sqlite3 PRIVATE -O2 -w)

# Scintilla: the editing component and its call wrapper, linked into the program statically.
file(GLOB lq_scintilla_core CONFIGURE_DEPENDS ${LQ_SCINTILLA_DIR}/src/*.cxx)
add_library(scintilla STATIC
  ${lq_scintilla_core}
  ${LQ_SCINTILLA_DIR}/win32/HanjaDic.cxx
  ${LQ_SCINTILLA_DIR}/win32/PlatWin.cxx
  ${LQ_SCINTILLA_DIR}/win32/ScintillaWin.cxx
  ${LQ_SCINTILLA_DIR}/call/ScintillaCall.cxx)
target_include_directories(scintilla SYSTEM PUBLIC ${LQ_SCINTILLA_DIR}/include)
target_include_directories(scintilla PRIVATE ${LQ_SCINTILLA_DIR}/src ${LQ_SCINTILLA_DIR}/win32)
target_compile_definitions(scintilla PRIVATE NDEBUG UNICODE _UNICODE)
target_compile_options(scintilla PRIVATE -O2 -w)
set_target_properties(scintilla PROPERTIES CXX_STANDARD 17)
target_link_libraries(scintilla PUBLIC gdi32 user32 imm32 ole32 oleaut32 uuid msimg32)

# GoogleTest from the googletest package's sources, built with the cross compiler.
if(BUILD_TESTING OR NOT DEFINED BUILD_TESTING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
