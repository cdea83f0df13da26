; Installer of the Windows program, built by scripts/package-windows.sh with Debian's makensis:
;   makensis -DVERSION=<version> -DSTAGE=<install tree> -DICON=<ico> -DOUTFILE=<exe> strovane.nsi
; Installs for the current user (default, %LOCALAPPDATA%\Programs\Strovane) or, with /AllUsers,
; for every user (Program Files). /S installs silently, /D=DIR names the folder. The uninstaller
; removes what was installed and leaves the user's workspace (%LOCALAPPDATA%\Strovane) alone.
; A 64-bit installer, as the program it carries (and so it runs where only 64-bit Wine is).
Target amd64-unicode
!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh

Name "Strovane ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Strovane"
SetCompressor /SOLID lzma
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Strovane"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var AllUsers

Function .onInit
    SetRegView 64
    StrCpy $AllUsers 0
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/AllUsers" $R1
    ${IfNot} ${Errors}
        StrCpy $AllUsers 1
        SetShellVarContext all
        ${If} $INSTDIR == "$LOCALAPPDATA\Programs\Strovane"
            StrCpy $INSTDIR "$PROGRAMFILES64\Strovane"
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "Strovane"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Strovane.lnk" "$INSTDIR\bin\strovane.exe" "" "$INSTDIR\bin\strovane.exe" 0
    ${If} $AllUsers == 1
        WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Strovane"
        WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
        WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\strovane.exe"
        WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
        WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /AllUsers'
    ${Else}
        WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Strovane"
        WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
        WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\strovane.exe"
        WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
        WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    ${EndIf}
SectionEnd

Function un.onInit
    SetRegView 64
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/AllUsers" $R1
    ${IfNot} ${Errors}
        SetShellVarContext all
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\Strovane.lnk"
    ; Only what the installer put there: the workspace lives elsewhere and stays.
    RMDir /r "$INSTDIR\bin"
    RMDir /r "$INSTDIR\share"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
