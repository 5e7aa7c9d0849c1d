# The workspace windows: the open-file tabs bar, the decorated MDI client with full-screen mode,
# and the window list, with the rules behind them that tests check without a screen.
target_sources(lumatre_ui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/MainFrameWorkspace.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ViewTabRow.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ViewTabCtrl.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ViewManager.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/WorkspaceSettings.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/WorkspacePainter.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/WorkspaceClient.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/WindowListRules.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/WindowListDlg.cpp
)
