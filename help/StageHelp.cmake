# Stages the help project for chmcmd: cmake -DSOURCE_DIR=... -DSTAGE_DIR=... -P StageHelp.cmake
#
# Every page is copied with its missing pictures left out: a picture is written as
#   <p class="picture"><img src="images/NAME.png" alt="..."></p>
# and is kept only while help/images/NAME.png exists (no text of a picture may hold a ";").
# The project's [FILES] section lists the pages, the style sheet and the pictures that exist.
# (PICTURES, passed by the build, only ties the build command to the set of pictures.)
file(GLOB old "${STAGE_DIR}/*")
if(old)
  file(REMOVE_RECURSE ${old})
endif()
file(MAKE_DIRECTORY "${STAGE_DIR}/images")

file(GLOB pages RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.htm")
file(GLOB styles RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.css")
file(GLOB images RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/images/*.png")
list(SORT pages)
list(SORT images)

foreach(page IN LISTS pages)
  file(READ "${SOURCE_DIR}/${page}" text)
  string(REGEX MATCHALL "<p class=\"picture\"><img src=\"images/[A-Za-z0-9_-]+\\.png\"[^>]*></p>\n?"
         pictures "${text}")
  foreach(picture IN LISTS pictures)
    string(REGEX MATCH "images/[A-Za-z0-9_-]+\\.png" image "${picture}")
    if(NOT EXISTS "${SOURCE_DIR}/${image}")
      string(REPLACE "${picture}" "" text "${text}")
    endif()
  endforeach()
  file(WRITE "${STAGE_DIR}/${page}" "${text}")
endforeach()

foreach(file IN LISTS styles images)
  configure_file("${SOURCE_DIR}/${file}" "${STAGE_DIR}/${file}" COPYONLY)
endforeach()
configure_file("${SOURCE_DIR}/Lumatre.hhc" "${STAGE_DIR}/Lumatre.hhc" COPYONLY)
configure_file("${SOURCE_DIR}/Lumatre.hhk" "${STAGE_DIR}/Lumatre.hhk" COPYONLY)

set(HELP_FILES "")
foreach(file IN LISTS pages styles images)
  string(APPEND HELP_FILES "${file}\n")
endforeach()
configure_file("${SOURCE_DIR}/Lumatre.hhp.in" "${STAGE_DIR}/Lumatre.hhp" @ONLY)
