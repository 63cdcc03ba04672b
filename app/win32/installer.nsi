; SPDX-License-Identifier: MIT
; The Windows installer: quarvo.exe and quarvo-convert.exe into Program
; Files, a Start-menu shortcut and an uninstaller. The program keeps no
; settings, so the only registry entry is the one that lists the
; uninstaller among the installed programs, and the uninstaller removes it.
; makensis is given QUARVO_EXE, QUARVO_CONVERT_EXE, QUARVO_LICENSE,
; SCINTILLA_LICENSE (the viewer's editor is built in, and its licence asks
; for its notice to go with it), QUARVO_ICON, QUARVO_VERSION and OUTFILE.
; The installer is of the program's width: QUARVO_X86 for the 32-bit one,
; which goes where Windows keeps 32-bit programs and registers itself in
; their view of the registry.
!ifdef QUARVO_X86
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
  !define REGISTRY_VIEW 32
!else
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
  !define REGISTRY_VIEW 64
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quarvo"

Name "Quarvo"
OutFile "${OUTFILE}"
Icon "${QUARVO_ICON}"
UninstallIcon "${QUARVO_ICON}"
InstallDir "${PROGRAM_FILES}\Quarvo"
ShowInstDetails show
LicenseData "${QUARVO_LICENSE}"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

VIProductVersion "${QUARVO_VERSION}.0.0"
VIAddVersionKey "ProductName" "Quarvo"
VIAddVersionKey "FileDescription" "Quarvo setup"
VIAddVersionKey "FileVersion" "${QUARVO_VERSION}"
VIAddVersionKey "ProductVersion" "${QUARVO_VERSION}"
VIAddVersionKey "LegalCopyright" "(C) The Quarvo makers, MIT License"

Function .onInit
  SetRegView ${REGISTRY_VIEW}
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView ${REGISTRY_VIEW}
  SetShellVarContext all
FunctionEnd

Section "Quarvo"
  SetOutPath "$INSTDIR"
  File "/oname=quarvo.exe" "${QUARVO_EXE}"
  File "/oname=quarvo-convert.exe" "${QUARVO_CONVERT_EXE}"
  File "/oname=LICENSE.txt" "${QUARVO_LICENSE}"
  File "/oname=Scintilla-License.txt" "${SCINTILLA_LICENSE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Quarvo.lnk" "$INSTDIR\quarvo.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quarvo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${QUARVO_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Quarvo makers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quarvo.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Quarvo.lnk"
  Delete "$INSTDIR\quarvo.exe"
  Delete "$INSTDIR\quarvo-convert.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Scintilla-License.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
