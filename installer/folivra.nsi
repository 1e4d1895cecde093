; The Folivra installer. makensis -DVERSION=x.y.z -DEDITOR=path\folivra.exe
;   -DREADME=path\README.txt -DOUTFILE=Folivra-x.y.z-setup.exe folivra.nsi
; Installs for the current user by default (no administrator rights);
; /AllUsers installs for everyone. /S runs silently.
; A 64-bit installer for the 64-bit editor.
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Folivra"
!define PUBLISHER "Folivra"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Folivra"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Folivra"
!define MULTIUSER_USE_PROGRAMFILES64
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\folivra.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Copyright (C) 2026 the Folivra authors"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Folivra" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=folivra.exe" "${EDITOR}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Folivra.lnk" "$INSTDIR\folivra.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\folivra.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "桌面快捷方式" SecDesktop
  CreateShortcut "$DESKTOP\Folivra.lnk" "$INSTDIR\folivra.exe"
SectionEnd

; The same values as the editor's "重新关联文件", for this install's users.
Section "关联 .zqb 文件" SecAssociate
  WriteRegStr SHCTX "Software\Classes\zqb" "" "Folivra"
  WriteRegDWORD SHCTX "Software\Classes\zqb" "EditFlags" 2
  WriteRegStr SHCTX "Software\Classes\zqb\Shell\Open\Command" "" '"$INSTDIR\folivra.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\zqb\DefaultIcon" "" "$INSTDIR\folivra.exe,0"
  WriteRegStr SHCTX "Software\Classes\.zqb" "" "zqb"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Associated" "1"
SectionEnd

; Books and settings are the user's: only what the installer put there goes.
Section "Uninstall"
  Delete "$INSTDIR\folivra.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Folivra.lnk"
  Delete "$DESKTOP\Folivra.lnk"
  ReadRegStr $0 SHCTX "Software\Classes\zqb\Shell\Open\Command" ""
  StrCmp $0 '"$INSTDIR\folivra.exe" "%1"' 0 +3
    DeleteRegKey SHCTX "Software\Classes\zqb"
    DeleteRegKey SHCTX "Software\Classes\.zqb"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
