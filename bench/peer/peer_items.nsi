; The peer doing the same work as setup.exe's factory install of the sample
; medium, for the engine-to-engine comparison of bench/factory: it runs the
; medium's item program for the same five items with the same arguments,
; copies the item program beside the uninstaller as the medium's copy record
; does, and makes the same five shortcuts (four in the programs menu, one on
; the desktop). Its uninstaller runs the items' uninstall commands and removes
; the shortcuts. It sits in the medium's folder when it runs ($EXEDIR).
; Built by the target bench_peer:
;   makensis -DOUTFILE=<exe> peer_items.nsi
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef OUTFILE
  !define OUTFILE "peer_items.exe"
!endif
!define PRODUCT "QX Laser L2020 (NSIS peer, item programs)"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QxLaserL2020NsisItemsPeer"
; Its own component records, apart from those of the medium's runs.
!define ITEM '"$EXEDIR\sampleitem.exe" --key "Software\QX\PeerComponents"'
!define UNITEM '"$INSTDIR\Install\sampleitem.exe" --key "Software\QX\PeerComponents"'

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\QX\Laser L2020 Items Peer"
SilentInstall silent

Section "Items"
  SetShellVarContext all
  SetOutPath "$INSTDIR\Install"
  CopyFiles /SILENT "$EXEDIR\sampleitem.exe" "$INSTDIR\Install"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ExecWait '${ITEM} install "$INSTDIR\Utility" utility "$EXEDIR\Utility"'
  ExecWait '${ITEM} install "$INSTDIR\Driver" driver "$EXEDIR\Driver\Vista_Up"'
  ExecWait '${ITEM} install "$INSTDIR\NetScan" netscan "$EXEDIR\NetScan"'
  ExecWait '${ITEM} install "$INSTDIR\StatMon" statmon "$EXEDIR\StatMon"'
  ExecWait '${ITEM} install "$INSTDIR\Manual" manual "$EXEDIR\Manual\English"'
  CreateDirectory "$SMPROGRAMS\QX Laser L2020 Items Peer"
  CreateShortCut "$SMPROGRAMS\QX Laser L2020 Items Peer\Status Monitor.lnk" "$INSTDIR\StatMon\statmon.exe"
  CreateShortCut "$SMPROGRAMS\QX Laser L2020 Items Peer\Device Utility.lnk" "$INSTDIR\Utility\ReadMe.txt"
  CreateShortCut "$SMPROGRAMS\QX Laser L2020 Items Peer\User's Guide.lnk" "$INSTDIR\Manual\index.html"
  CreateShortCut "$SMPROGRAMS\QX Laser L2020 Items Peer\Uninstall.lnk" "$INSTDIR\Uninstall.exe"
  SetShellVarContext current
  CreateShortCut "$DESKTOP\QX Items Peer Status Monitor.lnk" "$INSTDIR\StatMon\statmon.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
SectionEnd

Section "Uninstall"
  ExecWait '${UNITEM} uninstall utility'
  ExecWait '${UNITEM} uninstall driver'
  ExecWait '${UNITEM} uninstall netscan'
  ExecWait '${UNITEM} uninstall statmon'
  ExecWait '${UNITEM} uninstall manual'
  Delete "$DESKTOP\QX Items Peer Status Monitor.lnk"
  SetShellVarContext all
  RMDir /r "$SMPROGRAMS\QX Laser L2020 Items Peer"
  Delete "$INSTDIR\Install\sampleitem.exe"
  RMDir "$INSTDIR\Install"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
