; NetChange setup: a per-machine install that starts the program with Windows
; for every user, with a settings file that standard users may change.
;
; makensis -INPUTCHARSET UTF8 -WX -DVERSION=1.0.0.1 -DEXE=path/NetChange.exe
;          -DOUTFILE=path/setup.exe [-DSETTINGS=path/CHECKCDROM.ini]
;          [-DSIGN_COMMAND="shell command that signs a file, given it and its
;          name; $\' for each single quote"]
;          NetChange.nsi

!macro REQUIRE name
    !ifndef ${name}
        !error "-D${name}=... is missing"
    !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE EXE
!insertmacro REQUIRE OUTFILE
!ifndef SETTINGS
    !define SETTINGS "${__FILEDIR__}/CHECKCDROM.ini"
!endif
Unicode true
Target x86-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PRODUCT "VELMOR 隔离卡参数设置"
!define PUBLISHER "VELMOR"
; The same value name the program itself writes at each start.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "VELMORNETCHANGE"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VELMORNETCHANGE"
!define SETTINGS_FILE "CHECKCDROM.ini"
!define UNINSTALLER "uninst.exe"
!define SHORTCUT_FOLDER "$SMPROGRAMS\VELMOR"
!define SHORTCUT "${SHORTCUT_FOLDER}\${PRODUCT}.lnk"
; The program's main dialog and its tray menu's quit command.
!define PANEL_TITLE "VELMOR隔离卡参数设置"
!define PANEL_CLASS "#32770"
!define QUIT_COMMAND 1501

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; With the build's certificate: the uninstaller is signed before it is
; embedded, the setup once it is written; a signing that fails fails the
; build.
!ifdef SIGN_COMMAND
    !uninstfinalize '${SIGN_COMMAND} $\'%1$\' ${UNINSTALLER}' = 0
    !finalize '${SIGN_COMMAND} $\'%1$\'' = 0
!endif
InstallDir "$PROGRAMFILES\VELMOR"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define MUI_ICON "${__FILEDIR__}/../res/NetChange.ico"
!define MUI_UNICON "${__FILEDIR__}/../res/NetChange.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TEXT "${PRODUCT} 已安装。$\r$\n$\r$\n程序将在每位用户登录 Windows 时自动启动，也可以从开始菜单的 VELMOR 文件夹启动。"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "版权所有 (C) VELMOR"

; Ends a running NetChange the way its own tray menu does, and waits until the
; process is gone, so its exe can be replaced or removed. A program that does
; not end leaves the choice to the user: try again, or give up the setup.
!macro DEFINE_END_RUNNING_INSTANCE prefix
Function ${prefix}EndRunningInstance
    Push $0
    Push $1
    Push $2
    Push $3
again:
    FindWindow $0 "${PANEL_CLASS}" "${PANEL_TITLE}"
    StrCmp $0 0 done
    StrCpy $1 0
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    ; SYNCHRONIZE: enough to wait for the end.
    System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2"
    SendMessage $0 ${WM_COMMAND} ${QUIT_COMMAND} 0 /TIMEOUT=5000
    StrCpy $3 258 ; WAIT_TIMEOUT
    ${If} $2 P<> 0
        System::Call "kernel32::WaitForSingleObject(p r2, i 10000) i .r3"
        System::Call "kernel32::CloseHandle(p r2)"
    ${EndIf}
    IntCmp $3 0 again
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} 仍在运行。请从托盘菜单选择“退出”后重试。" /SD IDCANCEL IDRETRY again
    Abort
done:
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING_INSTANCE ""
!insertmacro DEFINE_END_RUNNING_INSTANCE "un."

; Every interactive user may save the settings dialog's choice, nothing more:
; SYSTEM and administrators keep full control, users get modify rights on
; this one file only (the exe beside it stays theirs to read and run).
Function LetUsersChangeSettings
    Push $0
    Push $1
    System::Call "advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w 'D:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1301bf;;;BU)', i 1, *p .r1, p 0) i .r0"
    ${If} $0 <> 0
        ; DACL_SECURITY_INFORMATION; "P" above keeps the folder's rules out.
        System::Call "advapi32::SetFileSecurityW(w '$INSTDIR\${SETTINGS_FILE}', i 4, p r1) i .r0"
        System::Call "kernel32::LocalFree(p r1)"
    ${EndIf}
    ${If} $0 = 0
        DetailPrint "无法为所有用户开放 ${SETTINGS_FILE} 的写入权限。"
    ${EndIf}
    Pop $1
    Pop $0
FunctionEnd

Section "${PRODUCT}" SecMain
    SectionIn RO
    SetShellVarContext all
    Call EndRunningInstance

    SetOutPath "$INSTDIR"
    SetOverwrite on
    File "/oname=NetChange.exe" "${EXE}"
    ; A settings file from an earlier install keeps the user's choice.
    SetOverwrite off
    File "/oname=${SETTINGS_FILE}" "${SETTINGS}"
    SetOverwrite on
    Call LetUsersChangeSettings

    ; The program, started as a standard user, cannot write this key itself.
    ; Quoted as the program writes it: unquoted, a path with spaces is read
    ; piece by piece (C:\Program.exe first).
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\NetChange.exe"'

    CreateDirectory "${SHORTCUT_FOLDER}"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\NetChange.exe" "" "$INSTDIR\NetChange.exe" 0

    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\NetChange.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Call un.EndRunningInstance

    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    Delete "$INSTDIR\NetChange.exe"
    Delete "$INSTDIR\${SETTINGS_FILE}"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only an empty folder goes: the user may have chosen one with other files.
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"
    RMDir "${SHORTCUT_FOLDER}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
