; Installer of the Huewright Generator effect for After Effects and Premiere
; Pro on 64-bit Windows, built by
;
;   bash packaging/windows/package.sh installer HuewrightGenerator.aex OUTPUT.exe
; which runs
;   makensis -DAEX=HuewrightGenerator.aex -DLICENSE=LICENSE.txt \
;            -DOUTFILE=HuewrightGenerator-1.0.0-win64-setup.exe HuewrightGenerator.nsi
;
; Both hosts load effects from the shared MediaCore folder; its location is
; stored under each host version's registry key (CommonPluginInstallPath),
; with a fixed folder under Common Files as the fallback. The effect goes
; into a Kestrow folder of its own inside it, beside its uninstaller.
;
; Built with -DOFX_BUNDLE=DIR it also installs the OpenFX plug-in: the
; bundle's Windows binary and icon into the OpenFX folder under Common Files,
; where Resolve, Nuke, Natron, Vegas and Fusion look.
;
; Exit codes: 0 installed; 1 cancelled by the user; 2 a host is running;
; 3 a newer version is already installed there (nothing changed); 4 a host
; still holds the effect file.

Target amd64-unicode
SetCompressor /SOLID lzma
; No build-machine file times inside the installer: two builds of one commit
; give the same bytes.
SetDateSave off
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef AEX | LICENSE | OUTFILE
  !error "define AEX, LICENSE and OUTFILE (see the head of this script)"
!endif

; The version is read from the effect's own version resource, so the
; installer, its uninstall entry and the file it carries always agree.
!getdllversion "${AEX}" AEX_VERSION_
!define VERSION "${AEX_VERSION_1}.${AEX_VERSION_2}.${AEX_VERSION_3}"
!define FILE_VERSION "${VERSION}.${AEX_VERSION_4}"
!define EFFECT_FILE "HuewrightGenerator.aex"
!define UNINSTALLER "Uninstall Huewright Generator.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KestrowHuewrightGenerator"
!define PUBLISHER "Kestrow Productions"
!define VENDOR_FOLDER "Kestrow"
!define OFX_FOLDER "$COMMONFILES64\OFX\Plugins\HuewrightGenerator.ofx.bundle"

!include LogicLib.nsh
!include WordFunc.nsh

Name "Huewright Generator ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Huewright Generator"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "Huewright Generator ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

LicenseData "${LICENSE}"
Page license
Page directory "" "" DirectoryLeave
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var BestHostVersion
Var BestMediaCore

; Looks at every version key of one host (HKLM\SOFTWARE\Adobe\<host>) and
; keeps the MediaCore folder of the newest version that names one.
!macro ScanHost host
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $0 0
  ${Do}
    EnumRegKey $1 HKLM "SOFTWARE\Adobe\${host}" $0
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    IntOp $0 $0 + 1
    ReadRegStr $2 HKLM "SOFTWARE\Adobe\${host}\$1" "CommonPluginInstallPath"
    ${IfThen} $2 == "" ${|} ${Continue} ${|}
    ${VersionCompare} $1 $BestHostVersion $3
    ${If} $BestMediaCore == ""
    ${OrIf} $3 == 1
      StrCpy $BestHostVersion $1
      StrCpy $BestMediaCore $2
    ${EndIf}
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
!macroend

Function FindMediaCore
  StrCpy $BestHostVersion "0"
  StrCpy $BestMediaCore ""
  !insertmacro ScanHost "After Effects"
  !insertmacro ScanHost "Premiere Pro"
  ${If} $BestMediaCore == ""
    StrCpy $BestMediaCore "$COMMONFILES64\Adobe\Common\Plug-ins\7.0\MediaCore"
  ${EndIf}
  StrCpy $INSTDIR "$BestMediaCore\${VENDOR_FOLDER}"
FunctionEnd

; Uses $0 to $3. Leaves on the stack "" when installing into $INSTDIR
; replaces nothing newer, else the newer version found. The file's own
; version resource speaks for a copy placed by hand too; the uninstall entry
; for an installed copy in another folder.
Function FindNewerInstall
  StrCpy $3 ""
  ClearErrors
  GetDLLVersion "$INSTDIR\${EFFECT_FILE}" $0 $1
  ${IfNot} ${Errors}
    IntOp $2 $0 >>> 16
    IntOp $0 $0 & 0xFFFF
    StrCpy $2 "$2.$0"
    IntOp $0 $1 >>> 16
    IntOp $1 $1 & 0xFFFF
    StrCpy $2 "$2.$0.$1"
    ${VersionCompare} $2 "${FILE_VERSION}" $0
    ${IfThen} $0 == 1 ${|} StrCpy $3 $2 ${|}
  ${EndIf}
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $2 != ""
  ${AndIf} $3 == ""
    ${VersionCompare} $2 "${VERSION}" $0
    ${IfThen} $0 == 1 ${|} StrCpy $3 $2 ${|}
  ${EndIf}
  Push $3
FunctionEnd

; A copy installed earlier into another folder would load beside this one
; in the hosts: it goes.
Function RemoveCopyElsewhere
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    Delete "$0\${EFFECT_FILE}"
    Delete "$0\${UNINSTALLER}"
    RMDir "$0"
  ${EndIf}
FunctionEnd

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; /D= on the command line has already set $INSTDIR.
  ${If} $INSTDIR == ""
    Call FindMediaCore
  ${EndIf}
  Call FindNewerInstall
  Pop $0
  ${If} $0 != ""
    MessageBox MB_ICONSTOP "Huewright Generator $0 is already installed.$\r$\n\
      This installer holds the older version ${VERSION} and will not replace it." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
  Call AskToCloseHosts
FunctionEnd

Function DirectoryLeave
  Call FindNewerInstall
  Pop $0
  ${If} $0 != ""
    MessageBox MB_ICONSTOP "Huewright Generator $0 is already installed; this installer \
      holds the older version ${VERSION} and will not replace it."
    Abort
  ${EndIf}
FunctionEnd

; The host processes that load effects from MediaCore.
!macro HostRunning exe result
  nsExec::ExecToStack 'tasklist /NH /FI "IMAGENAME eq ${exe}"'
  Pop ${result}
  Pop ${result}
  ClearErrors
  ${WordFind} "${result}" "${exe}" "E+1{" ${result}
  ${If} ${Errors}
    StrCpy ${result} ""
  ${Else}
    StrCpy ${result} "1"
  ${EndIf}
!macroend

Function AskToCloseHosts
  check:
  !insertmacro HostRunning "AfterFX.exe" $0
  !insertmacro HostRunning "Adobe Premiere Pro.exe" $1
  ${If} "$0$1" != ""
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Close After Effects and Premiere Pro before \
      installing Huewright Generator, then choose Retry." /SD IDCANCEL IDRETRY check
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

; A host that still has the effect loaded holds the file open: neither an
; upgrade nor an uninstall may replace it under the host's feet.
!macro WaitForFileRelease prefix
Function ${prefix}WaitForFileRelease
  check:
  ${If} ${FileExists} "$INSTDIR\${EFFECT_FILE}"
    ClearErrors
    FileOpen $0 "$INSTDIR\${EFFECT_FILE}" a
    ${If} ${Errors}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$INSTDIR\${EFFECT_FILE} is in use. Close After \
        Effects and Premiere Pro, then choose Retry." /SD IDCANCEL IDRETRY check
      SetErrorLevel 4
      Quit
    ${EndIf}
    FileClose $0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro WaitForFileRelease ""
!insertmacro WaitForFileRelease "un."

Section "Huewright Generator" SectionEffect
  SectionIn RO
  Call WaitForFileRelease
  Call RemoveCopyElsewhere
  SetOutPath "$INSTDIR"
  File "/oname=${EFFECT_FILE}" "${AEX}"
!ifdef OFX_BUNDLE
  SetOutPath "${OFX_FOLDER}\Contents\Win64"
  File "/oname=HuewrightGenerator.ofx" "${OFX_BUNDLE}/Contents/Win64/HuewrightGenerator.ofx"
  SetOutPath "${OFX_FOLDER}\Contents\Resources"
  File "/oname=com.kestrow.HuewrightGenerator.png" "${OFX_BUNDLE}/Contents/Resources/com.kestrow.HuewrightGenerator.png"
!endif
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  SectionGetSize ${SectionEffect} $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Huewright Generator"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; Removes what the installer made and nothing else: the vendor folder goes
; only when no other file is left in it.
Section "Uninstall"
  Call un.WaitForFileRelease
  Delete "$INSTDIR\${EFFECT_FILE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ; The bundle's own files and folders; the OpenFX folders above it only
  ; when no other plug-in is left in them.
  Delete "${OFX_FOLDER}\Contents\Win64\HuewrightGenerator.ofx"
  Delete "${OFX_FOLDER}\Contents\Resources\com.kestrow.HuewrightGenerator.png"
  RMDir "${OFX_FOLDER}\Contents\Win64"
  RMDir "${OFX_FOLDER}\Contents\Resources"
  RMDir "${OFX_FOLDER}\Contents"
  RMDir "${OFX_FOLDER}"
  RMDir "$COMMONFILES64\OFX\Plugins"
  RMDir "$COMMONFILES64\OFX"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
