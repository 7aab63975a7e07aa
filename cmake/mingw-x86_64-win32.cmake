# 64-bit Windows, win32 thread model: the plugin as the 64-bit test rig loads it.
set(KQ_MINGW_TRIPLE x86_64-w64-mingw32)
set(KQ_MINGW_THREADS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
