# The start of a test project built apart from the main build (tests/tsan, tests/o2),
# included after project(); KORVEL_TSAN is set by the includer. The libraries come from
# the same helpers as the main build, and only what the test executables link gets built.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

set(KORVEL_SANITIZE OFF)
set(KORVEL_TESTS ON)
set(KORVEL_BENCH OFF)
set(KORVEL_FUZZ OFF)
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/Korvel.cmake)
include(${KORVEL_ROOT}/cmake/Dependencies.cmake)
include(${KORVEL_ROOT}/cmake/Layers.cmake)

set_target_properties(${KORVEL_ALL_LIBS} PROPERTIES EXCLUDE_FROM_ALL ON)
if(TARGET KorvelEntry)
  set_target_properties(KorvelEntry PROPERTIES EXCLUDE_FROM_ALL ON)
endif()
set(T ${KORVEL_ROOT}/tests)
