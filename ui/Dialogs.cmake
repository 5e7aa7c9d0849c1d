# The shell's small dialogs and link controls (About box, Create New Image, hyperlinks and the
# shell's open action) and mail through Simple MAPI: the library lumatre_ui_dialogs, which needs only the framework (so
# tests can link it without the capture side), linked into lumatre_ui.
add_library(lumatre_ui_dialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AboutDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HyperLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MailSender.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NewImageDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NewImageUnits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellActions.cpp
)
target_include_directories(lumatre_ui_dialogs PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumatre_ui_dialogs PUBLIC framework shell32 version comctl32 advapi32 user32 gdi32)
target_link_libraries(lumatre_ui PUBLIC lumatre_ui_dialogs)
