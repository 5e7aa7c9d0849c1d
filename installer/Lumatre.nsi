; The Lumatre installer. makensis gets:
;   VERSION  the program's version (four numbers)
;   ARCH     x86 or amd64 (the build it packs)
;   BINDIR   the folder with Lumatre.exe, QuorvaHook.dll and, when built, Lumatre.chm
;   OUTFILE  the installer to write
; Silent use: LumatreSetup-<version>.exe /S [/D=folder]; the uninstaller takes /S as well and
; then keeps the user's settings.
Unicode true
!if "${ARCH}" == "amd64"
  Target amd64-unicode
  !define PROGRAMFILES_DIR "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAMFILES_DIR "$PROGRAMFILES"
!endif

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Lumatre"
!define SETTINGS_KEY "Software\Lumatre\Lumatre"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumatre"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMFILES_DIR}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) Lumatre"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Lumatre.exe"
!insertmacro MUI_PAGE_LICENSE "License.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
!if "${ARCH}" == "amd64"
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This build of ${PRODUCT} needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
!if "${ARCH}" == "amd64"
  SetRegView 64
!endif
FunctionEnd

Section "${PRODUCT} (required)" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${BINDIR}\Lumatre.exe"
  File "${BINDIR}\QuorvaHook.dll"
  !if /FileExists "${BINDIR}\Lumatre.chm"
    File "${BINDIR}\Lumatre.chm"
  !endif
  File "License.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Where the program finds itself (its help, the autostart value).
  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallPath" "$INSTDIR\Lumatre.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Lumatre"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Lumatre.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Lumatre.exe"
  !if /FileExists "${BINDIR}\Lumatre.chm"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" "$INSTDIR\Lumatre.chm"
  !endif
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"
SectionEnd

; The same value the program's own "Automatically run on Windows startup" option writes.
Section /o "Start ${PRODUCT} with Windows" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" "$INSTDIR\Lumatre.exe"
SectionEnd

LangString DESC_SecProgram ${LANG_ENGLISH} "The program, its hook library, its help and the licence."
LangString DESC_SecAutostart ${LANG_ENGLISH} "Starts ${PRODUCT} in the notification area when you log on."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_SecProgram)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} $(DESC_SecAutostart)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\Lumatre.exe"
  Delete "$INSTDIR\QuorvaHook.dll"
  Delete "$INSTDIR\Lumatre.chm"
  Delete "$INSTDIR\License.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Captures saved beside the program are the user's: the folder goes only when empty.
  RMDir "$INSTDIR\Output"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegValue HKLM "${SETTINGS_KEY}" "InstallPath"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Lumatre"

  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ${PRODUCT} settings (options, hotkeys, recent files) as well?" /SD IDNO IDNO keep
    DeleteRegKey HKCU "Software\Lumatre"
  keep:
SectionEnd
