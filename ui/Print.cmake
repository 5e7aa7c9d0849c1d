# Printing: the setup dialog with its "&Layout" button, the layout dialog with its page and
# preview, and printing a new capture (lumatre_print, linked into lumatre_ui). The layout
# arithmetic and the image view's print steps live with the view in document_win.
add_library(lumatre_print STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PrintSetupEx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintLayoutDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayoutOptionsPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayoutPreview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CapturePrinting.cpp
)
target_include_directories(lumatre_print PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumatre_print PUBLIC document_win framework lumatre_common comdlg32 winspool comctl32 user32 gdi32)
target_link_libraries(lumatre_ui PUBLIC lumatre_print)
