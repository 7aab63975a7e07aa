# 32-bit Windows, posix thread model: the reference host, the tests and the benchmark.
set(KQ_MINGW_TRIPLE i686-w64-mingw32)
set(KQ_MINGW_THREADS -posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
