# GoogleTest from the system's sources, built with whatever compiler this tree uses.
set(LUMATRE_GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${LUMATRE_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# lumatre_add_test(NAME name SOURCES ... [LIBS ...] [GUI] [TIMEOUT seconds])
# One executable per group of related cases, registered with ctest. Cross builds run it under
# Wine through CMAKE_CROSSCOMPILING_EMULATOR (tools/wine-run). GUI tests need a desktop, its
# clipboard and its foreground window to themselves: each takes one "desktops" slot of ctest's
# resource allocation (tools/test.sh offers two desktops, tools/dev-test.sh one), and
# tools/wine-run runs it on the desktop it got.
function(lumatre_add_test)
  cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main)
  if(WIN32)
    target_link_options(${T_NAME} PRIVATE -static)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=1
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_GUI)
    # A fresh build has no measured times yet: the slow screen tests (the ones given long
    # timeouts) start first, so that the desktops finish at about the same time.
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_GROUPS desktops:1 LABELS gui
                         ENVIRONMENT LUMATRE_GUI_TEST=1 COST ${T_TIMEOUT})
  endif()
endfunction()
