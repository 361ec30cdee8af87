; Windows installer for Hostwarden, built by scripts/package.sh with Debian's makensis:
;   makensis -DVERSION=5.3.3.N -DARCH=x86|x64 -DSTAGE=<folder with the files>
;            -DLAUNCHER=<HostwardenStart.exe> -DOUTFILE=<setup.exe> -DICON=<ico>
; ARCH x86 makes the installer of the 32-bit program (the release), x64 a 64-bit
; installer of the 64-bit twin, for systems that cannot run 32-bit programs.
; The installer runs with administrator rights, often those of another account than
; the user's: it writes nothing into any account's profile. The program keeps its
; profile, logs and exports in its working directory: the Start-menu entry, one for
; every account, starts the launcher (scripts/launcher.nsi), which starts the program
; in the Documents\Hostwarden of whoever uses it, never in Program Files.
; /S installs and uninstalls silently; the uninstaller leaves the users' folders and
; their registry keys alone.
; A Hostwarden running from the program folder keeps its exe from being replaced or
; removed: install and uninstall ask the user to close it (Retry or Cancel) and change
; nothing until it is closed; a silent run takes Cancel and ends with exit code 2. The
; uninstall entry goes only with the program's files.

!if "${ARCH}" == "x64"
Target amd64-unicode
!else
Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Hostwarden"
!define EVENTKEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Hostwarden"

Name "Hostwarden ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "x64"
InstallDir "$PROGRAMFILES64\Hostwarden"
!else
InstallDir "$PROGRAMFILES\Hostwarden"
!endif
BrandingText "Hostwarden ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Hostwarden"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Hostwarden ${VERSION} setup"
VIAddVersionKey "CompanyName" "The Hostwarden developers"
VIAddVersionKey "LegalCopyright" "MIT License, the Hostwarden developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TITLE "Hostwarden is installed"
!define MUI_FINISHPAGE_TEXT "Start Hostwarden from the Start menu.$\r$\n$\r$\nEvery user's settings, records and logs are kept in that user's Documents\Hostwarden folder, made at the first start; the uninstaller leaves these folders in place.$\r$\n$\r$\nThe user's guide is README.txt in the program's folder."

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A 64-bit program keeps its registry keys in the 64-bit view: the installer of the twin
; writes and removes them there. The Start-menu entry is every account's.
!macro CONTEXT
!if "${ARCH}" == "x64"
    SetRegView 64
!endif
    SetShellVarContext all
!macroend
Function .onInit
    !insertmacro CONTEXT
FunctionEnd
Function un.onInit
    !insertmacro CONTEXT
FunctionEnd

; The installer and the uninstaller each need their own copy of a function (un. names
; the uninstaller's): FUNCTIONS defines both.
!macro FUNCTIONS un
; Deletes the file on the stack, or asks the user to close what holds it (Retry or
; Cancel). Windows (and Wine) refuse to delete the exe of a running program, also one
; that another account runs, which no window search of this desktop would find. A
; program that is closing, or a scanner, holds a file for a moment: the file is tried
; for 3 s before the user is asked.
Function ${un}removefile
    Exch $R0
    Push $R1
    StrCpy $R1 0
again:
    ClearErrors
    Delete "$R0"
    IfErrors 0 done
    IntOp $R1 $R1 + 1
    IntCmp $R1 10 ask
    Sleep 300
    Goto again
ask:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R0 is in use.$\r$\n$\r$\nClose Hostwarden (File / Exit), also where another account runs it, and any program that has the file open; then choose Retry. Cancel stops here." \
        /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "$R0 is in use."
retry:
    StrCpy $R1 0
    Goto again
done:
    Pop $R1
    Pop $R0
FunctionEnd
!macroend
!insertmacro FUNCTIONS ""
!insertmacro FUNCTIONS "un."

!macro REMOVE un file
    Push "${file}"
    Call ${un}removefile
!macroend

Section "Hostwarden"
    ; An upgrade: the programs of the earlier install go first, so that one still
    ; running stops the installation before any file is written.
    !insertmacro REMOVE "" "$INSTDIR\Hostwarden.exe"
    !insertmacro REMOVE "" "$INSTDIR\HostwardenStart.exe"
    SetOutPath "$INSTDIR"
    File "${STAGE}\Hostwarden.exe"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    File "${STAGE}\OUI-LISTING.txt"
    File "${LAUNCHER}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateShortCut "$SMPROGRAMS\Hostwarden.lnk" "$INSTDIR\HostwardenStart.exe" "" \
        "$INSTDIR\Hostwarden.exe" 0 SW_SHOWNORMAL "" "Watch ranges of local IPv4 addresses by ARP"

    WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "Hostwarden ${VERSION}"
    WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "The Hostwarden developers"
    WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\Hostwarden.exe"
    WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTKEY}" "EstimatedSize" $0

    ; The event log's source: Event Viewer takes the entries' texts from the exe's
    ; message table. HKLM\SYSTEM is not redirected for a 32-bit installer.
    WriteRegExpandStr HKLM "${EVENTKEY}" "EventMessageFile" "$INSTDIR\Hostwarden.exe"
    WriteRegDWORD HKLM "${EVENTKEY}" "TypesSupported" 7
SectionEnd

; Removes only what the installer put down, by name: a profile, log or export that
; ended up in the program folder keeps the folder from being removed. The program goes
; first, so that a Hostwarden still running stops the uninstall before anything is
; removed; the uninstaller and its entry go last, so that a later cancel leaves them to
; be run again.
Section "Uninstall"
    !insertmacro REMOVE "un." "$INSTDIR\Hostwarden.exe"
    !insertmacro REMOVE "un." "$INSTDIR\HostwardenStart.exe"
    !insertmacro REMOVE "un." "$INSTDIR\README.txt"
    !insertmacro REMOVE "un." "$INSTDIR\LICENSE.txt"
    !insertmacro REMOVE "un." "$INSTDIR\OUI-LISTING.txt"
    Delete "$SMPROGRAMS\Hostwarden.lnk"
    ; Run in place (Uninstall.exe /S _?=folder, so that a script can wait for it and
    ; read its exit code) it cannot delete itself: the script deletes it and the folder.
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${EVENTKEY}"
    DeleteRegKey HKLM "${UNINSTKEY}"
    ; The window placement of the whole computer, kept there when Hostwarden ran with
    ; administrator rights. Each account's own (HKCU\Software\Hostwarden) stays, as its
    ; Documents\Hostwarden does: the uninstaller's HKCU is that of the account that gave
    ; the administrator password, often not one that used Hostwarden.
    DeleteRegKey HKLM "Software\Hostwarden"
SectionEnd
