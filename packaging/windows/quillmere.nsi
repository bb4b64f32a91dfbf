; The setup program of Quillmere for 64-bit Windows, in Chinese (made by scripts/windows):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSOURCE=dist\windows\Quillmere -DOUTFILE=... quillmere.nsi
; It installs the portable folder SOURCE under Program Files in the layout of an install
; (bin\ with the programs, share\quillmere\ with the sample workbooks, share\doc\quillmere\ with
; the user guide), so that the programs keep their data per user in %APPDATA%\quillmere rather
; than beside themselves; adds Start-menu and desktop shortcuts and an uninstaller, which leaves
; the user's data where it is. "/S" installs silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Quillmere"
!define CAPTION "Quillmere 分班"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmere"

Name "${CAPTION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${SOURCE}\quillmere.ico"
!define MUI_UNICON "${SOURCE}\quillmere.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\quillmere.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行 ${CAPTION}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${CAPTION} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Quillmere developers"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${CAPTION} 需要 64 位的 Windows。"
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Section "Quillmere"
  SetShellVarContext all
  SetOutPath "$INSTDIR\bin"
  File "${SOURCE}\*.exe"
  File "${SOURCE}\*.dll"
  !if /FileExists "${SOURCE}\qt.conf"
    File "${SOURCE}\qt.conf"
    File /r "${SOURCE}\platforms"
    File /r "${SOURCE}\styles"
    File /r "${SOURCE}\imageformats"
    File /r "${SOURCE}\translations"
  !endif
  SetOutPath "$INSTDIR\share\quillmere"
  File /r "${SOURCE}\导入excel文件样例"
  !if /FileExists "${SOURCE}\doc\用户手册.html"
    SetOutPath "$INSTDIR\share\doc\quillmere"
    File /r "${SOURCE}\doc\*.*"
  !endif
  SetOutPath "$INSTDIR"
  File "${SOURCE}\quillmere.ico"

  ; Shortcuts start in the user's documents, where the workbooks usually are.
  SetOutPath "$DOCUMENTS"
  CreateDirectory "$SMPROGRAMS\${CAPTION}"
  CreateShortcut "$SMPROGRAMS\${CAPTION}\${CAPTION}.lnk" "$INSTDIR\bin\quillmere.exe" "" "$INSTDIR\quillmere.ico"
  !if /FileExists "${SOURCE}\doc\用户手册.html"
    CreateShortcut "$SMPROGRAMS\${CAPTION}\用户手册.lnk" "$INSTDIR\share\doc\quillmere\用户手册.html"
  !endif
  CreateShortcut "$SMPROGRAMS\${CAPTION}\卸载 ${CAPTION}.lnk" "$INSTDIR\uninstall.exe"
  CreateShortcut "$DESKTOP\${CAPTION}.lnk" "$INSTDIR\bin\quillmere.exe" "" "$INSTDIR\quillmere.ico"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${CAPTION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillmere developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillmere.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; The program's files go; each user's data (%APPDATA%\quillmere: the database and its backups)
; stays, so that a new version finds it again.
Section "Uninstall"
  SetShellVarContext all
  Delete "$DESKTOP\${CAPTION}.lnk"
  RMDir /r "$SMPROGRAMS\${CAPTION}"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  Delete "$INSTDIR\quillmere.ico"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
