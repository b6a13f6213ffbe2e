; The Windows installer: a per-user install (no administrator rights) of the
; same layout as on Linux, bin\ and share\somnary\, so that the program keeps
; its settings in %APPDATA%\Somnary and copies the sample library into the
; user's documents on its first start. The uninstaller removes the program
; and leaves the user's own files.
; makensis -INPUTCHARSET UTF8 -DVERSION=... -DSTAGE=<install> -DICON=... -DOUTFILE=...
Unicode true
; The program is 64-bit: so is its installer (it runs where the program does).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APP "Somnary"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Somnary"
!define MENU_ENTRY "$SMPROGRAMS\Somnary — дневник снов.lnk"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Somnary"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\somnary.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR\bin"
  File /r "${STAGE}\bin\*.*"
  SetOutPath "$INSTDIR\share"
  File /r "${STAGE}\share\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR\bin"
  CreateShortcut "${MENU_ENTRY}" "$INSTDIR\bin\somnary.exe" "" "$INSTDIR\bin\somnary.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Somnary — дневник снов"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Somnary"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\somnary.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there: the settings in %APPDATA%\Somnary and
; the library in the documents are the user's.
Section "Uninstall"
  SetShellVarContext current
  Delete "${MENU_ENTRY}"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
