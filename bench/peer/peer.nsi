; The speed peer: a general-purpose NSIS 3 installer over the sample medium's
; payload, with the usual wizard (welcome, licence, components, folder,
; progress, finish) and its uninstaller. bench/startup times its first page
; against setup.exe's. Built by the target bench_peer:
;   makensis -DPAYLOAD=<media/sample> -DOUTFILE=<exe> peer.nsi
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef PAYLOAD
  !error "PAYLOAD must name the sample medium's folder (media/sample)"
!endif
!ifndef OUTFILE
  !define OUTFILE "peer_setup.exe"
!endif

!define PRODUCT "QX Laser L2020 (NSIS peer)"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QxLaserL2020NsisPeer"

Name "${PRODUCT}"
Caption "${PRODUCT} Setup"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\QX\Laser L2020 Peer"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"

!include "MUI2.nsh"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_NOAUTOCLOSE

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${PAYLOAD}/License/EN.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Section "Printer driver" SecDriver
  SectionIn RO
  SetOutPath "$INSTDIR\Driver"
  File /r "${PAYLOAD}/Driver/*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
SectionEnd

Section /o "Network scan manager" SecNetScan
  SetOutPath "$INSTDIR\NetScan"
  File /r "${PAYLOAD}/NetScan/*.*"
SectionEnd

Section "Device utility" SecUtility
  SetOutPath "$INSTDIR\Utility"
  File /r "${PAYLOAD}/Utility/*.*"
SectionEnd

Section "Manual" SecManual
  SetOutPath "$INSTDIR\Manual"
  File /r "${PAYLOAD}/Manual/*.*"
  SetOutPath "$INSTDIR\License"
  File /r "${PAYLOAD}/License/*.*"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDriver} "The printer driver of the QX Laser L2020."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecNetScan} "Scanning over the network."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUtility} "Settings of the device."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecManual} "The user's manual and the licence texts."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  RMDir /r "$INSTDIR\Driver"
  RMDir /r "$INSTDIR\NetScan"
  RMDir /r "$INSTDIR\Utility"
  RMDir /r "$INSTDIR\Manual"
  RMDir /r "$INSTDIR\License"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
