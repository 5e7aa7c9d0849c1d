# The Options dialog: the tree dialog, its caption band, the colour swatch, the seven pages and
# the rules they follow (lumatre_options, which needs the framework and the settings records
# only, so tests can run it with settings of their own), linked into lumatre_ui; the main
# frame's side of it is in lumatre_ui itself.
add_library(lumatre_options STATIC
  ${CMAKE_CURRENT_LIST_DIR}/OptionsLogic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FolderBrowser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrefsSubDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrefsCaption.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorSwatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrefsTreeDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeneralOptionsPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptureOptionsPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HotkeyOptionsPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptureOutputPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorSelectPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageSavePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorPickerPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OptionsDialog.cpp
)
target_include_directories(lumatre_options PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumatre_options PUBLIC framework lumatre_common comctl32 comdlg32 shell32 ole32 user32 gdi32)
target_sources(lumatre_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/MainFrameOptionsHost.cpp)
target_link_libraries(lumatre_ui PUBLIC lumatre_options)
