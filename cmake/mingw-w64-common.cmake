# Shared by the two MinGW-w64 toolchain files; TINDLBRG_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
# The -win32 thread model needs no winpthread DLL.
set(CMAKE_C_COMPILER   ${TINDLBRG_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TINDLBRG_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${TINDLBRG_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TINDLBRG_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows test programs run through Wine in a private prefix under the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
