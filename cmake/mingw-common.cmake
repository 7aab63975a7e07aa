# Shared part of the mingw-w64 toolchain files. Each of them names the target triple
# (KQ_MINGW_TRIPLE) and the compiler suffix of its thread model (KQ_MINGW_THREADS: "-posix"
# for the tests, since GoogleTest needs std::mutex; "" for the product DLL, whose default win32
# model pulls in no winpthreads, whose imports such as GetTickCount64 Windows XP lacks).
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR ${KQ_MINGW_TRIPLE})
set(CMAKE_C_COMPILER ${KQ_MINGW_TRIPLE}-gcc${KQ_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${KQ_MINGW_TRIPLE}-g++${KQ_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${KQ_MINGW_TRIPLE}-windres)
set(KQ_DLLTOOL ${KQ_MINGW_TRIPLE}-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${KQ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the Windows programs under the Wine of their own architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_SYSTEM_PROCESSOR})
