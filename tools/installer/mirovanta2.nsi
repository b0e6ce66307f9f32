; The Windows installer: for all users into Program Files, a Start-menu
; shortcut, an uninstall entry, inbound firewall rules for port 1565 limited to
; the local subnet, optional autostart, upgrade in place over a running host,
; and an uninstaller that leaves nothing behind in Program Files.
;
; Built by the Windows build (tools/installer/CMakeLists.txt), which defines
; VERSION, VERSION_QUAD, BIN_DIR, ICON, LICENSE_FILE, NOTICES_FILE and OUT_FILE.
;
; Command line:  /S silent   /D=folder (last, unquoted)   /AUTOSTART=0|1   /PUBLIC=0|1
;                /BROWSERONLY=0|1
; Without /AUTOSTART, /PUBLIC and /BROWSERONLY an upgrade keeps what was chosen before.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PRODUCT "Mirovanta 2"
!define HOST_EXE "Mirovanta2.exe"
!define LINK_NAME "Mirovanta 2.lnk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirovanta 2"
!define SETTINGS_KEY "Software\Mirovanta 2"
!define RULE_UDP "Mirovanta 2 (UDP)"
!define RULE_TCP "Mirovanta 2 (TCP)"
!define RULE_BROWSER "Mirovanta 2 (browser)"
!define PORT 1565
!define BROWSER_PORT 1566
; What "Mirovanta2.exe /exit" ends with.
!define EXIT_ENDED 0
!define EXIT_STILL_RUNNING 2

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "ZANTRIX"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION_QUAD}"
VIAddVersionKey "ProductVersion" "${VERSION_QUAD}"
VIAddVersionKey "LegalCopyright" "ZANTRIX"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartHost
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var WasRunning

; Removes the firewall rules by name; a rule that is not there is no error.
!macro DeleteFirewallRules
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${RULE_UDP}"'
  Pop $0
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${RULE_TCP}"'
  Pop $0
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${RULE_BROWSER}"'
  Pop $0
!macroend

; Asks a running host to exit as its "Exit" item does, and waits for it.
; $0: what "/exit" ended with. Stops the setup when the host stays.
!macro StopRunningHost EXE
  ExecWait '"${EXE}" /exit' $0
  ${If} $0 == ${EXIT_STILL_RUNNING}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running and did not exit. Choose Exit in its tray menu, then run this again." /SD IDOK
    Abort
  ${EndIf}
!macroend

Function StartHost
  Exec '"$INSTDIR\${HOST_EXE}"'
FunctionEnd

Section "${PRODUCT}" SecMain
  SectionIn RO
  ; The new host asks the old one to exit: an old copy may predate "/exit".
  InitPluginsDir
  File "/oname=$PLUGINSDIR\${HOST_EXE}" "${BIN_DIR}/${HOST_EXE}"
  !insertmacro StopRunningHost "$PLUGINSDIR\${HOST_EXE}"
  ${If} $0 == ${EXIT_ENDED}
    StrCpy $WasRunning 1
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/${HOST_EXE}"
  File "${BIN_DIR}/Laser.exe"
  File "${BIN_DIR}/Open.exe"
  File "${BIN_DIR}/mirovanta-remote.exe"
  File "/oname=LICENSE.txt" "${LICENSE_FILE}"
  File "/oname=THIRD-PARTY-NOTICES.txt" "${NOTICES_FILE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${LINK_NAME}" "$INSTDIR\${HOST_EXE}" "" "$INSTDIR\${HOST_EXE}" 0 \
      SW_SHOWNORMAL "" "${PRODUCT}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "ZANTRIX"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${HOST_EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; The same shortcut the tray menu's "Run with windows start" writes, so that
; its check mark agrees.
Section /o "Start ${PRODUCT} when Windows starts" SecAutostart
  CreateShortcut "$SMSTARTUP\${LINK_NAME}" "$INSTDIR\${HOST_EXE}" "" "" 0 SW_SHOWNORMAL "" \
      "${PRODUCT}"
SectionEnd

Section /o "Also allow on public networks" SecPublic
  ; Read by the firewall section below.
SectionEnd

; The tray menu's "Only paired browsers may control this PC", for the user
; who installs: the app's wire stays closed from the first start.
Section /o "Only paired browsers may control this PC" SecBrowsersOnly
SectionEnd

Section "-Firewall rules and restart"
  ${If} ${SectionIsSelected} ${SecBrowsersOnly}
    WriteRegStr HKCU "${SETTINGS_KEY}" "OnlyPairedBrowsers" "1"
  ${Else}
    WriteRegStr HKCU "${SETTINGS_KEY}" "OnlyPairedBrowsers" "0"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    Delete "$SMSTARTUP\${LINK_NAME}"
  ${EndIf}
  ; Replaced, not added twice, on an upgrade.
  !insertmacro DeleteFirewallRules
  StrCpy $1 "private,domain"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "FirewallPublic" 0
  ${If} ${SectionIsSelected} ${SecPublic}
    StrCpy $1 "private,domain,public"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "FirewallPublic" 1
  ${EndIf}
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${RULE_UDP}" dir=in action=allow protocol=UDP localport=${PORT} program="$INSTDIR\${HOST_EXE}" remoteip=localsubnet profile=$1 enable=yes'
  Pop $0
  ${If} $0 != 0
    DetailPrint "The firewall rule ${RULE_UDP} could not be added ($0): allow ${PRODUCT} when Windows asks."
  ${EndIf}
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${RULE_TCP}" dir=in action=allow protocol=TCP localport=${PORT} program="$INSTDIR\${HOST_EXE}" remoteip=localsubnet profile=$1 enable=yes'
  Pop $0
  ${If} $0 != 0
    DetailPrint "The firewall rule ${RULE_TCP} could not be added ($0): allow ${PRODUCT} when Windows asks."
  ${EndIf}
  ; The browser remote's page and WebSocket, scoped as the others.
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${RULE_BROWSER}" dir=in action=allow protocol=TCP localport=${BROWSER_PORT} program="$INSTDIR\${HOST_EXE}" remoteip=localsubnet profile=$1 enable=yes'
  Pop $0
  ${If} $0 != 0
    DetailPrint "The firewall rule ${RULE_BROWSER} could not be added ($0): allow ${PRODUCT} when Windows asks."
  ${EndIf}
  ${If} $WasRunning == 1
    Call StartHost
  ${EndIf}
SectionEnd

; After the sections: it selects them by their indices.
Function .onInit
  SetShellVarContext all
  SetRegView 64
  StrCpy $WasRunning 0
  ; The autostart box starts as the system is: checked when the shortcut is there.
  ${If} ${FileExists} "$SMSTARTUP\${LINK_NAME}"
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
  ; An upgrade keeps the earlier choice for public networks.
  ReadRegDWORD $R2 HKLM "${UNINSTALL_KEY}" "FirewallPublic"
  ${If} $R2 == 1
    !insertmacro SelectSection ${SecPublic}
  ${EndIf}
  ReadRegStr $R2 HKCU "${SETTINGS_KEY}" "OnlyPairedBrowsers"
  ${If} $R2 == "1"
    !insertmacro SelectSection ${SecBrowsersOnly}
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == 1
      !insertmacro SelectSection ${SecAutostart}
    ${Else}
      !insertmacro UnselectSection ${SecAutostart}
    ${EndIf}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/BROWSERONLY=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == 1
      !insertmacro SelectSection ${SecBrowsersOnly}
    ${Else}
      !insertmacro UnselectSection ${SecBrowsersOnly}
    ${EndIf}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/PUBLIC=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == 1
      !insertmacro SelectSection ${SecPublic}
    ${Else}
      !insertmacro UnselectSection ${SecPublic}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Uninstall"
  ${If} ${FileExists} "$INSTDIR\${HOST_EXE}"
    !insertmacro StopRunningHost "$INSTDIR\${HOST_EXE}"
  ${EndIf}
  Delete "$INSTDIR\${HOST_EXE}"
  Delete "$INSTDIR\Laser.exe"
  Delete "$INSTDIR\Open.exe"
  Delete "$INSTDIR\mirovanta-remote.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files the user put there stay.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${LINK_NAME}"
  Delete "$SMSTARTUP\${LINK_NAME}"
  SetShellVarContext current
  Delete "$SMSTARTUP\${LINK_NAME}"
  SetShellVarContext all

  !insertmacro DeleteFirewallRules
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
