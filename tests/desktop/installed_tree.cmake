# Checks an installed tree (a DESTDIR or an unpacked .deb) for the program,
# its menu entry, its metadata and its theme icons at their true sizes.
function(check_installed_tree root app_id icon_sizes)
  set(share ${root}/usr/share)
  set(expected
      ${root}/usr/bin/adattamento-bjt
      ${share}/applications/${app_id}.desktop
      ${share}/metainfo/${app_id}.metainfo.xml
      ${share}/mime/packages/${app_id}.xml
      ${share}/icons/hicolor/scalable/apps/${app_id}.svg
      ${share}/doc/adattamento-bjt/copyright)
  foreach(size ${icon_sizes})
    list(APPEND expected ${share}/icons/hicolor/${size}x${size}/apps/${app_id}.png)
  endforeach()
  foreach(file ${expected})
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "missing: ${file}")
    endif()
  endforeach()

  foreach(size ${icon_sizes})
    # A PNG holds its width and height as big-endian words at byte 16.
    set(png ${share}/icons/hicolor/${size}x${size}/apps/${app_id}.png)
    file(READ ${png} header OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING ${header} 0 8 width_hex)
    string(SUBSTRING ${header} 8 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT width EQUAL size OR NOT height EQUAL size)
      message(FATAL_ERROR "${png} is ${width}x${height}, not ${size}x${size}")
    endif()
  endforeach()

  file(STRINGS ${share}/applications/${app_id}.desktop icon_line REGEX "^Icon=")
  if(NOT icon_line STREQUAL "Icon=${app_id}")
    message(FATAL_ERROR "the menu entry names the icon '${icon_line}', not ${app_id}")
  endif()

  # Every type the entry opens is one the installed definition declares.
  file(STRINGS ${share}/applications/${app_id}.desktop mime_line REGEX "^MimeType=")
  string(REGEX MATCHALL "[a-z]+/[A-Za-z0-9.+-]+" mime_types "${mime_line}")
  file(READ ${share}/mime/packages/${app_id}.xml mime_xml)
  set(declared 0)
  foreach(type ${mime_types})
    if(NOT mime_xml MATCHES "<mime-type type=\"${type}\">")
      message(FATAL_ERROR "the menu entry opens ${type}, which the MIME definition does not declare")
    endif()
    math(EXPR declared "${declared} + 1")
  endforeach()
  if(declared LESS 2)
    message(FATAL_ERROR "the menu entry declares ${declared} MIME types, not the Touchstone and project ones")
  endif()
endfunction()
