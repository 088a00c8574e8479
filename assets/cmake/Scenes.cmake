# dataScenes.kmp: every scene source of src/scenes/ compiled and checked by
# "kmptool scn build" (network scenes with --network), then packed as "/<name>.scn".
# Training scenes are named by their number, network scenes by their title.
set(scene_dir ${CMAKE_CURRENT_BINARY_DIR}/scenes)
file(MAKE_DIRECTORY ${scene_dir})
file(GLOB scene_sources CONFIGURE_DEPENDS ${src_dir}/scenes/*.txt)
set(scene_files "")
set(scene_items "")
foreach(source IN LISTS scene_sources)
  get_filename_component(name ${source} NAME_WE)
  set(network --network)
  if(name MATCHES "^[0-9]+$")
    set(network "")
  endif()
  set(out ${scene_dir}/${name}.scn)
  add_custom_command(OUTPUT ${out}
    COMMAND kmptool scn build ${source} ${out} ${network}
    DEPENDS kmptool ${source} COMMENT "Scene ${name}.scn" VERBATIM)
  list(APPEND scene_files ${out})
  list(APPEND scene_items /${name}.scn=${out})
endforeach()
set(scene_pack_file ${KORVEL_APP_DIR}/dataScenes.kmp)
add_custom_command(OUTPUT ${scene_pack_file}
  COMMAND kmptool build ${scene_pack_file} --media ${scene_items}
  DEPENDS kmptool ${scene_files} COMMENT "Packing dataScenes.kmp" VERBATIM)
list(APPEND app_files ${scene_pack_file})

# PNG previews of the sources for review ("make scene_previews"; Debian's python3 has PIL).
find_program(KORVEL_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(KORVEL_SYSTEM_PYTHON)
  add_custom_target(scene_previews
    COMMAND ${KORVEL_SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/assetgen/scene_preview.py
      ${CMAKE_CURRENT_BINARY_DIR}/scene_previews ${scene_sources}
    COMMENT "Drawing scene previews into ${CMAKE_CURRENT_BINARY_DIR}/scene_previews" VERBATIM)
endif()
