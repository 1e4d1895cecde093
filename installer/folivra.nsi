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
  ; The mark of an installed copy: its settings and icon live in the user's
  ; %APPDATA%\Folivra, never beside the program (a portable copy has no mark).
  FileOpen $0 "$INSTDIR\folivra.installed" w
  FileWrite $0 "Installed by the Folivra setup; settings are kept in %APPDATA%\Folivra.$\r$\n"
  FileClose $0
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

; The same values as the editor's "重新关联文件", under ROOT.
!macro WriteAssociation ROOT
  WriteRegStr ${ROOT} "Software\Classes\zqb" "" "Folivra"
  WriteRegDWORD ${ROOT} "Software\Classes\zqb" "EditFlags" 2
  WriteRegStr ${ROOT} "Software\Classes\zqb\Shell\Open\Command" "" '"$INSTDIR\folivra.exe" "%1"'
  WriteRegStr ${ROOT} "Software\Classes\zqb\DefaultIcon" "" "$INSTDIR\folivra.exe,0"
  WriteRegStr ${ROOT} "Software\Classes\.zqb" "" "zqb"
!macroend

; For this install's users. Wine reads file classes from the machine's part
; alone (a user's own classes never reach its shell), and lets any user write
; there: under Wine the association goes there too.
Section "关联 .zqb 文件" SecAssociate
  !insertmacro WriteAssociation SHCTX
  EnumRegKey $0 HKLM "Software\Wine" 0
  StrCmp $0 "" not_wine
    !insertmacro WriteAssociation HKLM
  not_wine:
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Associated" "1"
SectionEnd

; Removes the .zqb association under ROOT when its command starts this
; install's program (a machine-wide one only where the uninstaller may).
!macro ForgetAssociation ROOT
  ReadRegStr $0 ${ROOT} "Software\Classes\zqb\Shell\Open\Command" ""
  StrLen $2 '"$INSTDIR\folivra.exe"'
  StrCpy $1 $0 $2
  StrCmp $1 '"$INSTDIR\folivra.exe"' 0 +3
    DeleteRegKey ${ROOT} "Software\Classes\zqb"
    DeleteRegKey ${ROOT} "Software\Classes\.zqb"
!macroend

; Books and settings are the user's: only what the installer put there goes.
Section "Uninstall"
  Delete "$INSTDIR\folivra.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\folivra.installed"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Folivra.lnk"
  Delete "$DESKTOP\Folivra.lnk"
  ; Every association that starts the program removed here goes, the
  ; installer's and those "重新关联文件" made, for the user and the machine.
  !insertmacro ForgetAssociation HKCU
  !insertmacro ForgetAssociation HKLM
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
