# The open and save dialogs, the document manager that shows them, and the path field with its
# browse button: the library lumatre_ui_files (testable without the main frame), linked into
# lumatre_ui.
add_library(lumatre_ui_files STATIC
  ${CMAKE_CURRENT_LIST_DIR}/FileFilters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DocManagerEx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilePreviewDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CustomSaveDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BrowseEdit.cpp
)
target_include_directories(lumatre_ui_files PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumatre_ui_files PUBLIC framework capture_outputs document_win lumatre_common comdlg32 comctl32
                      shell32 ole32 user32 gdi32)
target_link_libraries(lumatre_ui PUBLIC lumatre_ui_files)
