# Configures and builds a test project of its own (this one, or tests/o2) for a setup test
# of the main build. (ctest --build-and-test would run make with one job.)
# cmake -DSRC=<dir> -DBIN=<dir> -DGENERATOR=<name> -DLAUNCHER=<ccache or empty> -DJOBS=<n>
#       [-DTYPE=<build type, Debug by default>] -P Build.cmake
# A make above ctest may pass its job server; this build sets its own job count.
set(ENV{MAKEFLAGS} "")
if(NOT TYPE)
  set(TYPE Debug)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SRC} -B ${BIN} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${TYPE}
                        -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER} -DCMAKE_C_COMPILER_LAUNCHER=${LAUNCHER}
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BIN} --parallel ${JOBS} COMMAND_ERROR_IS_FATAL ANY)
