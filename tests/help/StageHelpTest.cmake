# Stages a small help project with help/StageHelp.cmake and checks that a picture whose PNG
# exists is kept and listed, and that a missing one is left out of the page and the project.
#   cmake -DSTAGE_SCRIPT=.../StageHelp.cmake -DWORK_DIR=... -P StageHelpTest.cmake
set(src "${WORK_DIR}/source")
set(stage "${WORK_DIR}/stage")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${src}/images" "${stage}")
file(WRITE "${stage}/stale.htm" "left from an earlier run")
file(WRITE "${src}/page.htm"
     "<p>Before &amp; after; text</p>\n"
     "<p class=\"picture\"><img src=\"images/there.png\" alt=\"A picture\"></p>\n"
     "<p class=\"picture\"><img src=\"images/missing.png\" alt=\"Not yet\"></p>\n"
     "<p>End</p>\n")
file(WRITE "${src}/images/there.png" "png")
file(WRITE "${src}/style.css" "body {}")
file(WRITE "${src}/Lumatre.hhc" "toc")
file(WRITE "${src}/Lumatre.hhk" "index")
file(WRITE "${src}/Lumatre.hhp.in" "[FILES]\n@HELP_FILES@")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${src} -DSTAGE_DIR=${stage} -P ${STAGE_SCRIPT}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "staging failed: ${result}")
endif()

file(READ "${stage}/page.htm" page)
set(expected "<p>Before &amp; after; text</p>\n<p class=\"picture\"><img src=\"images/there.png\" alt=\"A picture\"></p>\n<p>End</p>\n")
if(NOT page STREQUAL expected)
  message(FATAL_ERROR "staged page:\n${page}\nexpected:\n${expected}")
endif()
file(READ "${stage}/Lumatre.hhp" project)
string(STRIP "${project}" project)
if(NOT project STREQUAL "[FILES]\npage.htm\nstyle.css\nimages/there.png")
  message(FATAL_ERROR "staged project:\n${project}")
endif()
foreach(file Lumatre.hhc Lumatre.hhk style.css images/there.png)
  if(NOT EXISTS "${stage}/${file}")
    message(FATAL_ERROR "not staged: ${file}")
  endif()
endforeach()
foreach(file stale.htm images/missing.png)
  if(EXISTS "${stage}/${file}")
    message(FATAL_ERROR "should not be staged: ${file}")
  endif()
endforeach()
