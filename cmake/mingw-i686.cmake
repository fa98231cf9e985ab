# Cross-build for 32-bit Windows: what ships. Tests run under wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(mingw_triple i686-w64-mingw32)
set(mingw_emulator wine-run.sh)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
