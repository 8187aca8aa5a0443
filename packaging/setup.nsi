; The setup program of LumoraWiFi, one script for both builds.
;   makensis -DARCH=x64|x86 -DSTAGE=<folder with LumoraWiFi.exe>
;            -DVERSION_NSH=<build>/generated/version.nsh -DOUTFILE=<setup.exe> setup.nsi
; x64 uses the amd64 unicode stub and installs into the native Program Files;
; x86 the x86 unicode stub and Program Files (x86) on 64-bit Windows.

Unicode true
!include "${VERSION_NSH}"

!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x64 or x86"
!endif

!define PRODUCT "LumoraWiFi"
!define PUBLISHER "Lumora"
!define EXE "LumoraWiFi.exe"
!define UNINSTALLER "uninst.exe"
; The main window's title is the program's single-instance key as well.
!define MAIN_TITLE "LumoraWiFi5.1"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "tovkwifiqd"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "Sections.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; Sharing and the Run key need an administrator.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The files' own times are not stored: the same files give the same setup.
SetDateSave off
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_FULL}"
VIFileVersion "${VERSION_FULL}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION_FULL}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"

!define MUI_ICON "${__FILEDIR__}\art\app.ico"
!define MUI_UNICON "${__FILEDIR__}\art\app.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; Closes a running copy, asking first: its window gets WM_CLOSE (the program
; stops the hotspot and its sharing on the way out) and the process is
; waited for, so its files can be replaced or removed. $R0 on return: 0 when
; nothing runs any more, 1 when the user declined or it did not end.
!macro CLOSE_RUNNING_COPY UN
Function ${UN}CloseRunningCopy
  Push $0
  Push $1
  Push $2
  StrCpy $R0 0
  FindWindow $0 "" "${MAIN_TITLE}"
  IntCmp $0 0 done
  MessageBox MB_OKCANCEL|MB_ICONQUESTION "${PRODUCT} 正在运行。点击“确定”关闭它并继续，点击“取消”退出。" /SD IDOK IDOK close
  StrCpy $R0 1
  Goto done
close:
  System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1) i"
  ; SYNCHRONIZE
  System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2"
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  StrCpy $1 0
wait:
  ; The window goes first, the process a moment later.
  IsWindow $0 0 gone
  Sleep 250
  IntOp $1 $1 + 1
  IntCmp $1 80 0 wait
gone:
  IntCmp $2 0 checked
  System::Call "kernel32::WaitForSingleObject(p r2, i 10000) i .r1"
  System::Call "kernel32::CloseHandle(p r2)"
checked:
  IsWindow $0 0 done
  MessageBox MB_OK|MB_ICONSTOP "无法关闭正在运行的 ${PRODUCT}，请先退出它再试。" /SD IDOK
  StrCpy $R0 1
done:
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

Function .onInit
!if "${ARCH}" == "x64"
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "此安装程序只能在 64 位 Windows 上运行，请使用 32 位版本。" /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!endif
  Call CloseRunningCopy
  ${If} $R0 <> 0
    Abort
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecMain
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\${EXE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "桌面快捷方式" SecDesktop
  SetShellVarContext all
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "${PRODUCT} 程序、开始菜单快捷方式和卸载程序。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "在桌面上放一个 ${PRODUCT} 的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "un.${PRODUCT}" UnSecMain
  SectionIn RO
  SetShellVarContext all
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$DESKTOP\${PRODUCT}.lnk"

  ; The program writes the autostart value into the 64-bit view; a 32-bit
  ; setup on 64-bit Windows clears both views.
  SetRegView 64
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  SetRegView 32
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
!if "${ARCH}" == "x64"
  SetRegView 64
!endif
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Unticked unless the user ticks it, and so never in a silent uninstall:
; the settings and the device lists stay for a later installation.
Section /o "un.删除我的设置和设备名单" UnSecData
  Delete "c:\tovkwifi.ini"
  Delete "c:\wifiname.txt"
  Delete "c:\wifiblack.txt"
  Delete "c:\wifiwhite.txt"
  ; Left behind by a replacement that was cut short.
  Delete "c:\tovkwifi.ini.new"
  Delete "c:\wifiname.txt.new"
  Delete "c:\wifiblack.txt.new"
  Delete "c:\wifiwhite.txt.new"
SectionEnd

; /REMOVEDATA on the command line ticks the data box, for a silent uninstall
; that is meant to leave nothing behind.
Function un.onInit
!if "${ARCH}" == "x64"
  SetRegView 64
!endif
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecData}
  ${EndIf}
  Call un.CloseRunningCopy
  ${If} $R0 <> 0
    Abort
  ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecMain} "程序、快捷方式、开机启动项和“程序和功能”中的条目。"
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecData} "同时删除 c:\tovkwifi.ini、设备名称文件和黑白名单文件。不勾选则保留，以后重新安装时继续使用。"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
