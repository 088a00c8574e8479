# Configures and builds this project for the "tsan_build" test of the main build.
# (ctest --build-and-test would run make with one job.)
# cmake -DSRC=<dir> -DBIN=<dir> -DGENERATOR=<name> -DLAUNCHER=<ccache or empty> -DJOBS=<n> -P Build.cmake
# A make above ctest may pass its job server; this build sets its own job count.
set(ENV{MAKEFLAGS} "")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SRC} -B ${BIN} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=Debug
                        -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER} -DCMAKE_C_COMPILER_LAUNCHER=${LAUNCHER}
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BIN} --parallel ${JOBS} COMMAND_ERROR_IS_FATAL ANY)
