# Reference codec of ASN1_bench: asn1c (Debian package asn1c) generates a BER/DER codec
# for the equivalent definition in ASN1_bench.asn1 when the build is configured; the
# generated code lives in the build tree only. Without asn1c the library is not made
# and the benchmark is skipped.
set(bench_libs_ASN1_bench Asn1cReference)
find_program(ASN1C_EXECUTABLE asn1c)
if(NOT ASN1C_EXECUTABLE)
  return()
endif()

set(asn1c_def ${CMAKE_CURRENT_SOURCE_DIR}/ASN1_bench.asn1)
set(asn1c_dir ${CMAKE_CURRENT_BINARY_DIR}/asn1c_reference)
set(asn1c_stamp ${asn1c_dir}/generated.stamp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${asn1c_def})
if(NOT EXISTS ${asn1c_stamp} OR ${asn1c_def} IS_NEWER_THAN ${asn1c_stamp})
  file(REMOVE_RECURSE ${asn1c_dir})
  file(MAKE_DIRECTORY ${asn1c_dir})
  execute_process(
    COMMAND ${ASN1C_EXECUTABLE} -fcompound-names -fincludes-quoted -fno-constraints ${asn1c_def}
    WORKING_DIRECTORY ${asn1c_dir} RESULT_VARIABLE asn1c_result OUTPUT_QUIET ERROR_VARIABLE asn1c_error)
  if(NOT asn1c_result EQUAL 0)
    message(WARNING "asn1c failed: ${asn1c_error}")
    return()
  endif()
  file(TOUCH ${asn1c_stamp})
endif()

file(GLOB asn1c_sources ${asn1c_dir}/*.c)
list(FILTER asn1c_sources EXCLUDE REGEX "converter-sample\\.c$")
add_library(Asn1cReference STATIC ${asn1c_sources})
target_include_directories(Asn1cReference SYSTEM PUBLIC ${asn1c_dir})
# Generated code: its warnings are not ours to fix.
target_compile_options(Asn1cReference PRIVATE -w)
