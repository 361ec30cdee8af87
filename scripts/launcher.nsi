; The program of the installer's Start-menu entry, HostwardenStart.exe, built by
; scripts/package.sh beside the installer:
;   makensis -DVERSION=5.3.3.N -DARCH=x86|x64 -DOUTFILE=<HostwardenStart.exe> -DICON=<ico>
; Hostwarden keeps its files in the folder it is started in. A shortcut's working folder
; is one folder for every account, and a shortcut whose folder is missing does not start
; at all; so the entry starts this, which starts Hostwarden in the Documents\Hostwarden
; of whoever runs it, made on their first start. It shows nothing and asks for no rights.

!if "${ARCH}" == "x64"
Target amd64-unicode
!else
Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
SilentInstall silent

Name "Hostwarden"
OutFile "${OUTFILE}"
Icon "${ICON}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Hostwarden"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Starts Hostwarden in your Documents\Hostwarden folder"
VIAddVersionKey "CompanyName" "The Hostwarden developers"
VIAddVersionKey "LegalCopyright" "MIT License, the Hostwarden developers"

Section
    ; $DOCUMENTS is the folder Windows gives this account as Documents, also when it has
    ; been moved elsewhere. SetOutPath makes it, and Exec starts the program in it.
    ClearErrors
    SetOutPath "$DOCUMENTS\Hostwarden"
    IfErrors nofolder
    Exec '"$EXEDIR\Hostwarden.exe"'
    IfErrors noprogram
    Quit
nofolder:
    MessageBox MB_ICONSTOP "Cannot create the folder $DOCUMENTS\Hostwarden for Hostwarden's files."
    Quit
noprogram:
    MessageBox MB_ICONSTOP "Cannot start $EXEDIR\Hostwarden.exe."
SectionEnd
