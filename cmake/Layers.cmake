# bjt_layer(NAME [PROGRAM] FOLDER folder SOURCES ... [DEPS layer ...] [LIBS lib ...])
# One layer of the program: a static library (or with PROGRAM, an
# executable) made of the listed files of one folder, linking the layers it builds on (DEPS) and outside libraries (LIBS).
# Its files may include headers from its own folder and from the folders of
# every layer below it, nothing else; cmake/CheckLayers.cmake checks that on
# every build of the library.
function(bjt_layer name)
  cmake_parse_arguments(L "PROGRAM" "FOLDER" "SOURCES;DEPS;LIBS" ${ARGN})
  list(TRANSFORM L_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/${L_FOLDER}/)
  set(allowed ${L_FOLDER})
  foreach(dep IN LISTS L_DEPS)
    get_property(below GLOBAL PROPERTY BJT_LAYER_FOLDERS_${dep})
    list(APPEND allowed ${below})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY BJT_LAYER_FOLDERS_${name} ${allowed})

  set(stamp ${PROJECT_BINARY_DIR}/layers/${name}.checked)
  string(REPLACE ";" "|" allowed_arg "${allowed}")
  string(REPLACE ";" "|" files_arg "${L_SOURCES}")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLAYER=${name} -DALLOWED=${allowed_arg} -DFILES=${files_arg}
            -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    DEPENDS ${L_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    COMMENT "Checking the includes of ${name} against the layers below it"
    VERBATIM)

  if(L_PROGRAM)
    add_executable(${name} ${L_SOURCES} ${stamp})
    target_link_libraries(${name} PRIVATE ${L_DEPS} ${L_LIBS})
  else()
    add_library(${name} STATIC ${L_SOURCES} ${stamp})
    target_link_libraries(${name} PUBLIC ${L_DEPS} ${L_LIBS})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
