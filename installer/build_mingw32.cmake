# Brings the 32-bit saver of the mingw32 preset up to date for the setup program:
# configures that build the first time, then builds only its saver.
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=.../build/mingw32 -P build_mingw32.cmake
if(NOT EXISTS ${BUILD_DIR}/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} --preset mingw32 WORKING_DIRECTORY ${SOURCE_DIR}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
# Its own two jobs, not the calling make's job server (which it would warn about).
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS --unset=MFLAGS
                        ${CMAKE_COMMAND} --build ${BUILD_DIR} --target tindlbrg -j 2
                COMMAND_ERROR_IS_FATAL ANY)
