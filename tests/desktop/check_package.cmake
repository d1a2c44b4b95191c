# Builds the .deb, unpacks it, checks its contents and dependencies, and
# starts the unpacked program offscreen.
# -DBUILD_DIR -DWORK_DIR -DAPP_ID -DICON_SIZES -DCPACK -DDPKG_DEB
include(${CMAKE_CURRENT_LIST_DIR}/installed_tree.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/out
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${out}")
endif()
file(GLOB debs ${WORK_DIR}/out/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb, found: ${debs}")
endif()

execute_process(COMMAND ${DPKG_DEB} -x ${debs} ${WORK_DIR}/root RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -x failed")
endif()
check_installed_tree(${WORK_DIR}/root ${APP_ID} "${ICON_SIZES}")

execute_process(COMMAND ${DPKG_DEB} -f ${debs} Package Section Depends
                OUTPUT_VARIABLE fields RESULT_VARIABLE rc)
foreach(needed "Package: adattamento-bjt" "Section: science" "libqt6widgets6" "libqt6gui6"
               "libqt6core6" "fonts-liberation")
  string(FIND "${fields}" "${needed}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package's control fields lack '${needed}':\n${fields}")
  endif()
endforeach()

# The program takes no options and never ends by itself: still running when
# the timeout stops it (status 124) means it started and opened its window.
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND timeout 3 ${WORK_DIR}/root/usr/bin/adattamento-bjt
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 124)
  message(FATAL_ERROR "the unpacked program ended with status ${rc} instead of running:\n${out}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
