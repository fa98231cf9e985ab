# Cross-build for 64-bit Windows, for machines that cannot start 32-bit programs: the same tests
# run under 64-bit wine. The release stays 32-bit.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triple x86_64-w64-mingw32)
set(mingw_emulator wine64-run.sh)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
