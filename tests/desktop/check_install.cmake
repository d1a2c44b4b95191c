# Installs the build into a scratch DESTDIR and checks what landed there.
# -DBUILD_DIR -DWORK_DIR -DAPP_ID -DICON_SIZES
include(${CMAKE_CURRENT_LIST_DIR}/installed_tree.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
set(ENV{DESTDIR} ${WORK_DIR}/root)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
check_installed_tree(${WORK_DIR}/root ${APP_ID} "${ICON_SIZES}")
file(REMOVE_RECURSE ${WORK_DIR})
