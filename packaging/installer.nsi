; The Denoptix installer. scripts/package.sh builds it with makensis and
; these definitions:
;   VERSION      the release, e.g. 1.0.0
;   STAGE        the folder holding Denoptix.exe and DenoptixCheck.exe (32-bit),
;                the same in x64\ (64-bit), and README.txt
;   ICON         the program's icon
;   OUTFILE      the installer to write
;   UPGRADE_CODE the Windows Installer package's upgrade code (from denoptix.wxs)
;   SIGN         (optional) a command that signs the file named by its last
;                argument in place; the uninstaller and the installer are
;                signed as makensis writes them
;
; Silent use: setup.exe /S [/D=folder], uninstall.exe /S. The uninstaller
; removes exactly what this installs and leaves the users' settings under
; HKCU\Software\Velt\Denoptix alone: they belong to each user.
;
; Which build: the scanner's control is an in-process DLL, which only a
; program of its own bitness can load. The installer looks the control up in
; both registry views and installs the matching Denoptix.exe: the 64-bit one
; (under "Program Files") only when the control is registered for 64-bit
; programs alone, otherwise the 32-bit one (under "Program Files (x86)"),
; which is also what a machine without the control yet gets. The choice and
; its reason go to the details and to setup.log beside the program.

Unicode true
Target x86-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Denoptix"
!define PUBLISHER "Velt"
; The entry lives in the 64-bit view on 64-bit Windows, whichever build is
; installed, so one key names the installation.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define CONTROL_KEY "CLSID\{786AAF38-E504-11D1-966F-006008A3979D}\InprocServer32"

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var Bits    ; 32 or 64: the build that is installed
Var Reason  ; why, in words for the log

Function .onInit
  ; The Windows Installer package and this installer must not install over
  ; each other: one installation, upgraded and removed by the tool that made it.
  System::Call 'msi::MsiEnumRelatedProductsW(w "${UPGRADE_CODE}", i 0, i 0, w .r2) i .r3'
  ${If} $3 == 0
    MessageBox MB_ICONSTOP "Denoptix is already installed by its Windows Installer package (.msi). Upgrade it with a newer .msi, or remove it in Apps & features before running this installer." /SD IDOK
    Abort
  ${EndIf}

  SetRegView 32
  ReadRegStr $0 HKCR "${CONTROL_KEY}" ""
  StrCpy $1 ""
  ${If} ${RunningX64}
    SetRegView 64
    ReadRegStr $1 HKCR "${CONTROL_KEY}" ""
  ${EndIf}
  SetRegView default
  StrCpy $Bits 32
  ${If} $0 != ""
    StrCpy $Reason "the scanner control is registered for 32-bit programs"
  ${ElseIf} $1 != ""
    StrCpy $Bits 64
    StrCpy $Reason "the scanner control is registered for 64-bit programs only"
  ${Else}
    StrCpy $Reason "no scanner control is registered yet; the 32-bit build is the standard one"
  ${EndIf}
  ; /D= sets the folder before this runs; otherwise the build's own Program Files.
  ${If} $INSTDIR == ""
    ${If} $Bits == 64
      StrCpy $INSTDIR "$PROGRAMFILES64\${PUBLISHER}\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES32\${PUBLISHER}\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Denoptix"
  SetOutPath "$INSTDIR"
  ${If} $Bits == 64
    File "/oname=Denoptix.exe" "${STAGE}\x64\Denoptix.exe"
    File "/oname=DenoptixCheck.exe" "${STAGE}\x64\DenoptixCheck.exe"
  ${Else}
    File "${STAGE}\Denoptix.exe"
    File "${STAGE}\DenoptixCheck.exe"
  ${EndIf}
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  DetailPrint "Installed the $Bits-bit Denoptix.exe: $Reason."
  FileOpen $0 "$INSTDIR\setup.log" w
  FileWrite $0 "Denoptix ${VERSION}: installed the $Bits-bit Denoptix.exe: $Reason.$\r$\n"
  FileClose $0

  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Denoptix.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\Denoptix.exe"
  Delete "$INSTDIR\DenoptixCheck.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\setup.log"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever else is there is not ours.
  RMDir "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
  RMDir "$0"
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
