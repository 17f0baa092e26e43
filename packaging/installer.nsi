; Quorvane's installer and uninstaller. One skinned wizard window drawn by nsQuorvanePlug
; replaces NSIS's own pages; its buttons run the functions below.
;
; makensis defines (packaging/CMakeLists.txt passes them):
;   QV_OUTFILE        the installer to write
;   QV_PLUGIN_DIR     folder holding nsQuorvanePlug.dll of the target below
;   QV_SKIN_DIR       folder holding skin_install\ and skin_uninstall\
;   QV_EXE            Quorvane.exe to install (optional while the program is not built)
;   QV_VERSION        product version, a.b.c.d
;   QV_AMD64_UNICODE  build the amd64-unicode installer instead of the x86-ansi release one
;   QV_TRACE          a file every wizard step appends one line to (test builds only)
;   QV_COMPRESSOR     makensis compressor (default /SOLID lzma; tests take zlib for speed)
;   QV_SIGN_COMMAND   a command that signs the file "%1" in place (scripts/release, when signing)

!ifdef QV_AMD64_UNICODE
  Unicode true
  Target amd64-unicode
  !addplugindir /amd64-unicode "${QV_PLUGIN_DIR}"
!else
  Unicode false
  Target x86-ansi
  !addplugindir /x86-ansi "${QV_PLUGIN_DIR}"
!endif

!ifndef QV_VERSION
  !define QV_VERSION 1.0.0.0
!endif
!define QV_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"
; Where the install folder is remembered for the next run (the x86 installer writes the 32-bit
; view of the registry, as the program reads it).
!define QV_PRODUCT_KEY "Software\Quorvane"
!define QV_WM_CLOSE 0x0010

!include "LogicLib.nsh"
!include "FileFunc.nsh"

; The ANSI installer's texts are converted to code page 936 through the language file.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

; Chinese texts the script passes on go through language strings: an ANSI installer stores a
; plain literal in the build machine's code page, where these characters become question marks,
; but a language string in the language's code page (936).
LangString QV_CHOOSER_TITLE ${LANG_SIMPCHINESE} "选择Quorvane的安装位置"
LangString QV_WAITING_PROGRAM ${LANG_SIMPCHINESE} "正在等待Quorvane退出......"
LangString QV_PROGRAM_RUNNING ${LANG_SIMPCHINESE} "Quorvane正在运行，请先关闭它，再点击立即安装"
LangString QV_UNINSTALL_SHORTCUT ${LANG_SIMPCHINESE} "卸载Quorvane"
LangString QV_UNINSTALL_LEFTOVERS ${LANG_SIMPCHINESE} "卸载未完成：部分文件正在使用，重启电脑后将自动删除"

Name "Quorvane"
Caption "Quorvane修复工具"
OutFile "${QV_OUTFILE}"
InstallDir "$PROGRAMFILES32\Quorvane"
InstallDirRegKey HKLM "${QV_PRODUCT_KEY}" "InstallDir"
RequestExecutionLevel admin
!ifndef QV_COMPRESSOR
  !define QV_COMPRESSOR "/SOLID lzma"
!endif
SetCompressor ${QV_COMPRESSOR}
!ifdef QV_SIGN_COMMAND
  ; The uninstaller is signed before it is packed, so the one WriteUninstaller writes is signed.
  !uninstfinalize '${QV_SIGN_COMMAND}' = 0
  !finalize '${QV_SIGN_COMMAND}' = 0
!endif
ShowInstDetails nevershow
ShowUninstDetails nevershow
VIProductVersion "${QV_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Quorvane"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${QV_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Quorvane"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Quorvane修复工具安装程序"

Page custom ShowInstallWizard
UninstPage custom un.ShowUninstallWizard

; The work runs from the wizard's buttons. Sections run only in silent mode (/S), where no page
; is shown: there they do the same work, and the exit code tells how it went.
!pragma warning disable 8000
Section "-Quorvane"
  Call CloseRunningProgram
  ${If} $R9 == 1
    SetErrorLevel 2
    Abort
  ${EndIf}
  ClearErrors
  Call InstallFiles
  ${If} ${Errors}
    SetErrorLevel 1
  ${EndIf}
SectionEnd

Section "Uninstall"
  Call un.RemoveFiles
  ; 3010: done, but files in use go at the next restart (the Windows installers' code).
  ${If} $R8 == 1
    SetErrorLevel 3010
  ${EndIf}
  Call un.ScheduleOwnCopy
SectionEnd

; Appends one line to the trace file of a test build; nothing in the release.
!macro Trace text
  !ifdef QV_TRACE
    Push $9
    FileOpen $9 "${QV_TRACE}" a
    FileSeek $9 0 END
    FileWrite $9 "${text}$\r$\n"
    FileClose $9
    Pop $9
  !endif
!macroend
!define Trace "!insertmacro Trace"

; The wizard's progress; nothing in silent mode, where there is no wizard.
!macro Progress value
  IfSilent +2
    nsQuorvanePlug::SetProgressValue ${value}
!macroend
!define Progress "!insertmacro Progress"

; ---- Installer -------------------------------------------------------------------------------

Function ShowInstallWizard
  InitPluginsDir
  SetOutPath "$PLUGINSDIR\skin_install"
  File /r "${QV_SKIN_DIR}\skin_install\*.*"
  ; The working folder must not stay inside $PLUGINSDIR, or the installer cannot delete it at
  ; its end; the wizard reads its skin by full path.
  SetOutPath "$TEMP"
  nsQuorvanePlug::InitWnd "install" "$PLUGINSDIR\skin_install" "install.xml"
  Pop $0
  ${Trace} "InitWnd $0"
  GetFunctionAddress $1 OnInstallClicked
  nsQuorvanePlug::ControlBindNSISScript "install_btn" $1
  GetFunctionAddress $1 OnChangeFolderClicked
  nsQuorvanePlug::ControlBindNSISScript "change_folder_btn" $1
  ; Left unbound, the close button would only close the window and leave the installer running.
  GetFunctionAddress $1 OnQuitClicked
  nsQuorvanePlug::ControlBindNSISScript "closebtn" $1
  nsQuorvanePlug::SetInstallDir "install_path_edit" "$INSTDIR\"
  ${Trace} "ShowMainWnd"
  nsQuorvanePlug::ShowMainWnd
FunctionEnd

Function OnChangeFolderClicked
  nsQuorvanePlug::SelectInstallDir "$(QV_CHOOSER_TITLE)" ""
  Pop $0
  ${Trace} "SelectInstallDir $0"
FunctionEnd

Function OnInstallClicked
  nsQuorvanePlug::GetInstallDir "install_path_edit"
  Pop $INSTDIR
  ${Trace} "GetInstallDir $INSTDIR"
  Call CloseRunningProgram
  ${If} $R9 == 1
    nsQuorvanePlug::SetInstallDir "install_tip" "$(QV_PROGRAM_RUNNING)"
    Return
  ${EndIf}
  nsQuorvanePlug::SetInstallDir "install_tip" ""
  nsQuorvanePlug::nsDuiSendMessage "WM_INSTALL_SHOW_INSTALLING_PAGE" "" ""
  Call InstallFiles
  ${Progress} 100
  ${Trace} "Installed"
  ; The finish is the program itself: started from its folder, with the elevation its
  ; manifest asks for, while the installer ends.
  Sleep 300
  ExecShell "open" "$INSTDIR\Quorvane.exe"
  nsQuorvanePlug::ExitNsDui
FunctionEnd

; $R9 = 1 when Quorvane.exe in $INSTDIR still runs after a minute. The window is asked to close,
; as its close button does; a boot pass has no window and ends on its own (it settles for 30 s,
; then reports). A running program's file cannot be opened for writing.
Function CloseRunningProgram
  StrCpy $R9 0
  ${IfNot} ${FileExists} "$INSTDIR\Quorvane.exe"
    Return
  ${EndIf}
  FindWindow $0 "ToolWnd"
  ${If} $0 <> 0
    SendMessage $0 ${QV_WM_CLOSE} 0 0 /TIMEOUT=5000
  ${EndIf}
  StrCpy $1 0
  ${Do}
    ClearErrors
    FileOpen $2 "$INSTDIR\Quorvane.exe" a
    ${IfNot} ${Errors}
      FileClose $2
      Return
    ${EndIf}
    ${If} $1 = 0
      IfSilent +2
        nsQuorvanePlug::SetInstallDir "install_tip" "$(QV_WAITING_PROGRAM)"
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 > 120
      StrCpy $R9 1
      Return
    ${EndIf}
    Sleep 500
    ; The same text again: the wizard repaints while it waits.
    IfSilent +2
      nsQuorvanePlug::SetInstallDir "install_tip" "$(QV_WAITING_PROGRAM)"
  ${Loop}
FunctionEnd

; The files, shortcuts and registry entries. An existing Quorvane.cfg is kept.
Function InstallFiles
  SetOutPath "$INSTDIR"
  ${Progress} 10
!ifdef QV_EXE
  File "/oname=Quorvane.exe" "${QV_EXE}"
!endif
  ${Progress} 50
  WriteUninstaller "$INSTDIR\uninst.exe"
  ${Progress} 60
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Quorvane"
  CreateShortCut "$SMPROGRAMS\Quorvane\Quorvane.lnk" "$INSTDIR\Quorvane.exe"
  CreateShortCut "$SMPROGRAMS\Quorvane\$(QV_UNINSTALL_SHORTCUT).lnk" "$INSTDIR\uninst.exe"
  CreateShortCut "$DESKTOP\Quorvane.lnk" "$INSTDIR\Quorvane.exe"
  SetShellVarContext current
  ${Progress} 75
  WriteRegStr HKLM "${QV_PRODUCT_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "DisplayName" "Quorvane"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "DisplayVersion" "${QV_VERSION}"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "Publisher" "Quorvane"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvane.exe"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
  WriteRegDWORD HKLM "${QV_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${QV_UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${QV_UNINSTALL_KEY}" "EstimatedSize" $0
  ${Progress} 90
FunctionEnd

Function OnQuitClicked
  ${Trace} "ExitNsDui"
  nsQuorvanePlug::ExitNsDui
FunctionEnd

; ---- Uninstaller -----------------------------------------------------------------------------

; Deletes a file now, or schedules it for the next restart and sets $R8.
!macro un.RemoveOrSchedule file
  ${If} ${FileExists} "${file}"
    ClearErrors
    Delete "${file}"
    ${If} ${Errors}
      Delete /REBOOTOK "${file}"
      StrCpy $R8 1
    ${EndIf}
  ${EndIf}
!macroend

Function un.ShowUninstallWizard
  InitPluginsDir
  SetOutPath "$PLUGINSDIR\skin_uninstall"
  File /r "${QV_SKIN_DIR}\skin_uninstall\*.*"
  SetOutPath "$TEMP"
  nsQuorvanePlug::InitWnd "uninstall" "$PLUGINSDIR\skin_uninstall" "uninstall.xml"
  Pop $0
  ${Trace} "un.InitWnd $0"
  GetFunctionAddress $1 un.OnUninstallClicked
  nsQuorvanePlug::ControlBindNSISScript "uninstall_btn" $1
  GetFunctionAddress $1 un.OnQuitClicked
  nsQuorvanePlug::ControlBindNSISScript "cancel_btn" $1
  nsQuorvanePlug::ControlBindNSISScript "finish_btn" $1
  nsQuorvanePlug::ControlBindNSISScript "closebtn" $1
  ${Trace} "un.ShowMainWnd"
  nsQuorvanePlug::ShowMainWnd
FunctionEnd

Function un.OnUninstallClicked
  nsQuorvanePlug::nsDuiSendMessage "WM_UNINSTALL_SHOW_UNINSTALLING_PAGE" "" ""
  Call un.RemoveFiles
  ${Progress} 100
  ${If} $R8 == 1
    ; The page says so, and the close button ends the uninstaller.
    nsQuorvanePlug::SetInstallDir "uninstall_Pro_Info" "$(QV_UNINSTALL_LEFTOVERS)"
    ${Trace} "un.Leftovers"
    Return
  ${EndIf}
  nsQuorvanePlug::nsDuiSendMessage "WM_UNINSTALL_SHOW_FINISH_PAGE" "" ""
  ${Trace} "un.Removed"
FunctionEnd

; Removes the service, files, shortcuts and registry entries. $R8 = 1 when something could not be
; removed now: it is scheduled for removal at the next restart.
Function un.RemoveFiles
  StrCpy $R8 0
  ; The program stops and removes its own start-up service before its file goes.
  ${If} ${FileExists} "$INSTDIR\Quorvane.exe"
    ExecWait '"$INSTDIR\Quorvane.exe" UninstallServ'
  ${EndIf}
  ${Trace} "un.UninstallServ"
  ${Progress} 40
  ; A boot pass that the service started may still be running: UninstallServ stops the service
  ; but not the pass. The program file cannot be deleted while it runs, so try again for up to
  ; a minute (the pass settles for 30 s, then sends its report).
  StrCpy $2 0
  ${Do}
    ClearErrors
    Delete "$INSTDIR\Quorvane.exe"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 > 120
      ${Break}
    ${EndIf}
    Sleep 500
    ${Progress} 40
  ${Loop}
  ${Progress} 60
  SetShellVarContext all
  Delete "$SMPROGRAMS\Quorvane\Quorvane.lnk"
  Delete "$SMPROGRAMS\Quorvane\$(QV_UNINSTALL_SHORTCUT).lnk"
  RMDir "$SMPROGRAMS\Quorvane"
  Delete "$DESKTOP\Quorvane.lnk"
  SetShellVarContext current
  !insertmacro un.RemoveOrSchedule "$INSTDIR\Quorvane.exe"
  !insertmacro un.RemoveOrSchedule "$INSTDIR\Quorvane.cfg"
  !insertmacro un.RemoveOrSchedule "$INSTDIR\uninst.exe"
  ${Progress} 80
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*.*"
    RMDir /REBOOTOK "$INSTDIR"
    StrCpy $R8 1
  ${EndIf}
  DeleteRegKey HKLM "${QV_UNINSTALL_KEY}"
  DeleteRegKey HKLM "${QV_PRODUCT_KEY}"
FunctionEnd

; The uninstaller runs as a copy of itself in a temporary folder, and a running program cannot
; delete itself. NSIS schedules the copy and its folder for removal at the next restart, the
; folder first, which then fails while the copy is still in it; scheduling the copy, then the
; folder, here makes the restart leave nothing.
Function un.ScheduleOwnCopy
  StrCmp "$EXEDIR" "$INSTDIR" +3
    Delete /REBOOTOK "$EXEPATH"
    RMDir /REBOOTOK "$EXEDIR"
FunctionEnd

Function un.OnQuitClicked
  Call un.ScheduleOwnCopy
  ${Trace} "un.ExitNsDui"
  nsQuorvanePlug::ExitNsDui
FunctionEnd
