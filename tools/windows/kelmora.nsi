; The installer of Kelmora for Windows, built by tools/build-windows with
; Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DVERSION4=1.0.0.0 -DFILES=files.nsh
;            -DUNFILES=unfiles.nsh -DICON=kelmora.ico -DOUTFILE=Kelmora-1.0.0-setup.exe kelmora.nsi
; FILES holds one File line per file of the package, UNFILES the Delete
; lines that remove them again.
;
; An administrator installs for all users into Program Files; a standard
; user installs for himself into his own programs folder, without
; administrator rights.  /AllUsers or /CurrentUser on the command line
; choose, /S installs silently, /D=FOLDER (last) names the folder.
; The settings (config.ini) and the error log stay outside the program
; folder, in %APPDATA%\Kelmora, and the uninstaller leaves them there.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Kelmora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelmora"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "Kelmora"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "Software\Kelmora"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "Software\Kelmora"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallDir"
!include MultiUser.nsh
!include MUI2.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "Kelmora"
VIAddVersionKey /LANG=0 "FileDescription" "Kelmora ${VERSION} 安装程序"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) 2026 Kelmora"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README-Windows.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "查看使用说明 (README-Windows.txt)"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Var GivenDir

Function .onInit
  ; A folder given with /D= wins over the mode's default folder.
  StrCpy $GivenDir $INSTDIR
  !insertmacro MULTIUSER_INIT
  StrCmp $GivenDir "" +2
  StrCpy $INSTDIR $GivenDir
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Kelmora"
  SetOutPath "$INSTDIR"
  !include /CHARSET=UTF8 "${FILES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Start menu: the program, the set-up tool (a command prompt in the
  ; program folder that starts with the tool's usage) and the read-me.
  CreateDirectory "$SMPROGRAMS\Kelmora"
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\Kelmora\Kelmora.lnk" "$INSTDIR\Kelmora.exe" "" "$INSTDIR\Kelmora.exe" 0
  CreateShortCut "$SMPROGRAMS\Kelmora\Kelmora 数据库设置工具.lnk" "$WINDIR\System32\cmd.exe" \
    '/k ""$INSTDIR\kelmora-db.exe" help"' "$INSTDIR\kelmora-db.exe" 0
  CreateShortCut "$SMPROGRAMS\Kelmora\Kelmora 使用说明.lnk" "$INSTDIR\README-Windows.txt"

  ; Programs and Features.
  WriteRegStr SHCTX "Software\Kelmora" "InstallMode" $MultiUser.InstallMode
  WriteRegStr SHCTX "Software\Kelmora" "InstallDir" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Kelmora 房产中介管理"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Kelmora"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kelmora.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Only what the installer put there: a config.ini or errlog.log placed in
  ; the folder by hand keeps it (and the folder) in place.
  !include /CHARSET=UTF8 "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Kelmora\Kelmora.lnk"
  Delete "$SMPROGRAMS\Kelmora\Kelmora 数据库设置工具.lnk"
  Delete "$SMPROGRAMS\Kelmora\Kelmora 使用说明.lnk"
  RMDir "$SMPROGRAMS\Kelmora"

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  DeleteRegKey SHCTX "Software\Kelmora"
SectionEnd
