# Build helpers shared by every folder, and by the ThreadSanitizer project in tests/tsan,
# which includes them from a source directory of its own: paths go from KORVEL_ROOT.
get_filename_component(KORVEL_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

set(KORVEL_WARNINGS -Wall -Wextra)
add_compile_options(${KORVEL_WARNINGS})
# Both players' devices must compute the same physics: never relax float semantics.
add_compile_options(-fno-fast-math -ffp-contract=off)

# lld links the sanitized test programs several times faster than the default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld KORVEL_HAS_LLD)
if(KORVEL_HAS_LLD)
  add_link_options(-fuse-ld=lld)
endif()

if(KORVEL_SANITIZE)
  set(KORVEL_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${KORVEL_SAN_FLAGS})
  add_link_options(-fsanitize=address,undefined)
  # Some hundred test programs, each with its own copy of the libraries' debug information.
  add_link_options(-Wl,--compress-debug-sections=zlib)
endif()

# ThreadSanitizer cannot share a build with the address sanitizer.
if(KORVEL_TSAN)
  if(KORVEL_SANITIZE)
    message(FATAL_ERROR "KORVEL_TSAN and KORVEL_SANITIZE cannot be combined")
  endif()
  add_compile_options(-fsanitize=thread -O1 -g -DKORVEL_TSAN)
  add_link_options(-fsanitize=thread)
endif()

if(KORVEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

set(KORVEL_ALL_LIBS "" CACHE INTERNAL "")

# korvel_library(<name> DIRS <dir>... [RECURSE] [EXCLUDE <file>...] [DEPS <target>...])
# Makes a static library of every .cpp/.c in the given folders; a folder with no
# sources yet gives an interface library, so dependents link the same way.
function(korvel_library name)
  cmake_parse_arguments(ARG "RECURSE" "" "DIRS;EXCLUDE;DEPS" ${ARGN})
  set(sources "")
  foreach(dir IN LISTS ARG_DIRS)
    if(ARG_RECURSE)
      file(GLOB_RECURSE found CONFIGURE_DEPENDS ${KORVEL_ROOT}/${dir}/*.cpp ${KORVEL_ROOT}/${dir}/*.c)
    else()
      file(GLOB found CONFIGURE_DEPENDS ${KORVEL_ROOT}/${dir}/*.cpp ${KORVEL_ROOT}/${dir}/*.c)
    endif()
    list(APPEND sources ${found})
  endforeach()
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "/${ex}$")
  endforeach()
  set(deps "")
  foreach(dep IN LISTS ARG_DEPS)
    if(TARGET ${dep})
      list(APPEND deps ${dep})
    endif()
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${KORVEL_ROOT} ${KORVEL_ROOT}/Platform/include)
    target_link_libraries(${name} PUBLIC ${deps})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${KORVEL_ROOT} ${KORVEL_ROOT}/Platform/include)
    target_link_libraries(${name} INTERFACE ${deps})
  endif()
  set(KORVEL_ALL_LIBS ${KORVEL_ALL_LIBS} ${name} CACHE INTERNAL "")
endfunction()

# Mutual references between two static libraries (the engine calls up into nothing,
# but some sibling folders use each other).
function(korvel_mutual a b)
  get_target_property(ta ${a} TYPE)
  get_target_property(tb ${b} TYPE)
  if(ta STREQUAL "STATIC_LIBRARY" AND tb STREQUAL "STATIC_LIBRARY")
    target_link_libraries(${b} PUBLIC ${a})
    set_property(TARGET ${a} ${b} APPEND PROPERTY LINK_INTERFACE_MULTIPLICITY 3)
  endif()
endfunction()

# Environment of every test: Mesa leaks suppressed, no audio device, no display.
# intercept_tls_get_addr=0: this compiler's sanitizer runtime takes a dynamic TLS block that
# malloc places 16 bytes past a page start for an old glibc header and reads a bogus range
# from it, and the leak checker's tracer then dies at exit (Mesa's driver has such blocks).
# Our own thread-locals are static TLS and are still scanned.
set(KORVEL_TEST_ENV
  "LSAN_OPTIONS=suppressions=${KORVEL_ROOT}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "ASAN_OPTIONS=detect_odr_violation=0:intercept_tls_get_addr=0"
  "SDL_AUDIODRIVER=dummy"
  "LP_NUM_THREADS=2"
  "KORVEL_SOURCE_DIR=${KORVEL_ROOT}"
  "KORVEL_BINARY_DIR=${CMAKE_BINARY_DIR}")
