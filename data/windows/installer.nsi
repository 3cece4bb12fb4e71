; The Windows setup program: installs for the current user, without administrator rights, and its
; uninstaller removes just what it made. windows.sh defines VERSION, ICON, OUTFILE, and FILES and
; UNFILES: the lines that install and delete the bundle's files, one by one.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh
!include Integration.nsh

!define APP "Quorrel File Generator"
!define EXE "quorrel-file-generator.exe"
!define PROGID "QuorrelFileGenerator.utx"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorrelFileGenerator"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${APP}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "${APP} setup"
VIAddVersionKey CompanyName "Quorrel"
VIAddVersionKey LegalCopyright "MIT licence"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

Section
    SetShellVarContext current
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    SetOutPath "$INSTDIR" ; the shortcut's working folder
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}"

    ; Offered in "Open with" for .utx, while the default stays with whatever owns .utx (often the
    ; game's editor).
    WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Unreal Tournament texture package"
    WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\${EXE},0"
    WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
    WriteRegNone HKCU "Software\Classes\.utx\OpenWithProgids" "${PROGID}"
    ${NotifyShell_AssocChanged}

    WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayName "${APP}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" Publisher "Quorrel"
    WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\${EXE},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoRepair 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

Section Uninstall
    SetShellVarContext current
    ; File by file, so that nothing the user put into the folder goes with it.
    !include "${UNFILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${APP}.lnk"

    DeleteRegKey HKCU "Software\Classes\${PROGID}"
    DeleteRegValue HKCU "Software\Classes\.utx\OpenWithProgids" "${PROGID}"
    ; These keys may hold other programs' values, or .utx's owner.
    DeleteRegKey /ifempty HKCU "Software\Classes\.utx\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "Software\Classes\.utx"
    ${NotifyShell_AssocChanged}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
