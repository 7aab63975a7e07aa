# 32-bit Windows, win32 thread model: the product DLL.
set(KQ_MINGW_TRIPLE i686-w64-mingw32)
set(KQ_MINGW_THREADS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
