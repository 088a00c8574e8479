# Regenerates the built-in font source and compares it with the committed one.
execute_process(COMMAND ${FONTGEN} --builtin --ttf ${TTF} --size 8 --out-cpp ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "fontgen failed (${result})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${COMMITTED} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${COMMITTED} is not what fontgen makes now; regenerate it from ${OUT}")
endif()
