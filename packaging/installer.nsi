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

; The ANSI installer's texts are converted to code page 936 through the language file.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

; Chinese texts the script passes on go through language strings: an ANSI installer stores a
; plain literal in the build machine's code page, where these characters become question marks,
; but a language string in the language's code page (936).
LangString QV_CHOOSER_TITLE ${LANG_SIMPCHINESE} "选择Quorvane的安装位置"

Name "Quorvane"
Caption "Quorvane修复工具"
OutFile "${QV_OUTFILE}"
InstallDir "$PROGRAMFILES32\Quorvane"
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

; The work runs from the wizard's buttons; makensis still wants one section, which never runs.
!pragma warning disable 8000
Section "-Quorvane"
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
  nsQuorvanePlug::nsDuiSendMessage "WM_INSTALL_SHOW_INSTALLING_PAGE" "" ""
  SetOutPath "$INSTDIR"
  nsQuorvanePlug::SetProgressValue 10
!ifdef QV_EXE
  File "/oname=Quorvane.exe" "${QV_EXE}"
!endif
  nsQuorvanePlug::SetProgressValue 70
  WriteUninstaller "$INSTDIR\uninst.exe"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "DisplayName" "Quorvane"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "DisplayVersion" "${QV_VERSION}"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "Publisher" "Quorvane"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvane.exe"
  WriteRegStr HKLM "${QV_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  nsQuorvanePlug::SetProgressValue 100
  ${Trace} "Installed"
  nsQuorvanePlug::ExitNsDui
FunctionEnd

Function OnQuitClicked
  ${Trace} "ExitNsDui"
  nsQuorvanePlug::ExitNsDui
FunctionEnd

; ---- Uninstaller -----------------------------------------------------------------------------

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
  ; The program stops and removes its own start-up service before its file goes.
  IfFileExists "$INSTDIR\Quorvane.exe" 0 +2
    ExecWait '"$INSTDIR\Quorvane.exe" UninstallServ'
  ${Trace} "un.UninstallServ"
  nsQuorvanePlug::SetProgressValue 40
  ; A boot pass that the service started may still be running: UninstallServ stops the service
  ; but not the pass. The program file cannot be deleted while it runs, so try again for up to
  ; a minute (the pass settles for 30 s, then sends its report).
  StrCpy $2 0
  retry_program:
    ClearErrors
    Delete "$INSTDIR\Quorvane.exe"
    IfErrors 0 program_gone
    IntOp $2 $2 + 1
    IntCmp $2 120 program_gone
    Sleep 500
    Goto retry_program
  program_gone:
  Delete "$INSTDIR\Quorvane.exe"
  Delete "$INSTDIR\Quorvane.cfg"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${QV_UNINSTALL_KEY}"
  nsQuorvanePlug::SetProgressValue 100
  nsQuorvanePlug::nsDuiSendMessage "WM_UNINSTALL_SHOW_FINISH_PAGE" "" ""
  ${Trace} "un.Removed"
FunctionEnd

Function un.OnQuitClicked
  ; The uninstaller runs as a copy of itself in a temporary folder, and a running program cannot
  ; delete itself. NSIS schedules the copy and its folder for removal at the next restart, the
  ; folder first, which then fails while the copy is still in it; scheduling the copy, then the
  ; folder, here makes the restart leave nothing.
  StrCmp "$EXEDIR" "$INSTDIR" +3
    Delete /REBOOTOK "$EXEPATH"
    RMDir /REBOOTOK "$EXEDIR"
  ${Trace} "un.ExitNsDui"
  nsQuorvanePlug::ExitNsDui
FunctionEnd
