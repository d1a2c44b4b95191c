# Fails when a file of a layer includes a header from a folder the layer may
# not use: its own folder and the folders of the layers below it, as
# bjt_layer() in cmake/Layers.cmake declares them. Run at build time over
# each library's listed sources, so an include against the layering stops
# the build of that library.
#   cmake -DLAYER=name -DALLOWED=a|b -DFILES=f1|f2 -DSTAMP=file -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" allowed "${ALLOWED}")
string(REPLACE "|" ";" files "${FILES}")
set(failed FALSE)
foreach(file IN LISTS files)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z0-9_]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/.*" "\\1" folder "${line}")
    if(NOT folder IN_LIST allowed)
      string(REPLACE ";" ", " shown "${allowed}")
      message(SEND_ERROR "${file}: ${line}\n  the ${LAYER} layer may include only from: ${shown}")
      set(failed TRUE)
    endif()
  endforeach()
endforeach()
if(NOT failed)
  file(TOUCH "${STAMP}")
endif()
