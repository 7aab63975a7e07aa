# 64-bit Windows, posix thread model: the test rig on machines that cannot run 32-bit code.
set(KQ_MINGW_TRIPLE x86_64-w64-mingw32)
set(KQ_MINGW_THREADS -posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
