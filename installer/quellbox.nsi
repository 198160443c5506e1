; The Quellbox setup program: a per-user install that needs no administrator rights.
; Built by CMake (target "setup") with VERSION, PROGRAM_DIR, HELP_FILE, SOURCE_DIR and OUTFILE
; defined on the makensis command line; TARGET=amd64-unicode makes the 64-bit stand-in that the
; tests run where 32-bit programs cannot run.

!ifdef TARGET
Target ${TARGET}
!else
Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include WordFunc.nsh

!define PRODUCT "Quellbox"
!define PUBLISHER "Tarnik"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellbox"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Tarnik\Quellbox"
; What the running program can be recognised by: its hidden main window and its
; single-instance mutex, which lives exactly as long as the process.
!define MAIN_WINDOW_CLASS "QuellboxMain"
!define INSTANCE_MUTEX "Local\Tarnik.Quellbox"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Quellbox writes its log and lists next to its exe, so its folder must be the user's own.
InstallDir "$LOCALAPPDATA\Programs\Quellbox"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide
; A file that cannot be written stops the setup rather than being skipped.
AllowSkipFiles off

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${SOURCE_DIR}\resources\quellbox.ico"
!define MUI_UNICON "${SOURCE_DIR}\resources\quellbox.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quellbox.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
; The program speaks the Portuguese of Brazil, and so does its setup, to speakers of either.
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "French"

LangString HelpLink ${LANG_ENGLISH} "Quellbox Help"
LangString HelpLink ${LANG_PORTUGUESEBR} "Ajuda do Quellbox"
LangString HelpLink ${LANG_SPANISH} "Ayuda de Quellbox"
LangString HelpLink ${LANG_FRENCH} "Aide de Quellbox"

LangString UninstallLink ${LANG_ENGLISH} "Uninstall Quellbox"
LangString UninstallLink ${LANG_PORTUGUESEBR} "Desinstalar o Quellbox"
LangString UninstallLink ${LANG_SPANISH} "Desinstalar Quellbox"
LangString UninstallLink ${LANG_FRENCH} "Désinstaller Quellbox"

; A Quellbox that does not answer cannot be closed from its icon either.
LangString StillRunning ${LANG_ENGLISH} "Quellbox is still running and does not respond. End Quellbox.exe in Task Manager (Ctrl+Shift+Esc), then try again."
LangString StillRunning ${LANG_PORTUGUESEBR} "O Quellbox continua em execução e não responde. Finalize o Quellbox.exe no Gerenciador de Tarefas (Ctrl+Shift+Esc) e tente novamente."
LangString StillRunning ${LANG_SPANISH} "Quellbox sigue en ejecución y no responde. Finalice Quellbox.exe en el Administrador de tareas (Ctrl+Mayús+Esc) y vuelva a intentarlo."
LangString StillRunning ${LANG_FRENCH} "Quellbox est toujours en cours d'exécution et ne répond pas. Arrêtez Quellbox.exe dans le Gestionnaire des tâches (Ctrl+Maj+Échap), puis réessayez."

LangString CannotWrite ${LANG_ENGLISH} "Setup cannot write to the folder$\r$\n$INSTDIR$\r$\n$\r$\nQuellbox keeps its log and trusted sites in its folder. Choose a folder you can write to."
LangString CannotWrite ${LANG_PORTUGUESEBR} "O programa de instalação não consegue gravar na pasta$\r$\n$INSTDIR$\r$\n$\r$\nO Quellbox guarda o registro e os sites confiáveis na sua pasta. Escolha uma pasta onde você possa gravar."
LangString CannotWrite ${LANG_SPANISH} "El programa de instalación no puede escribir en la carpeta$\r$\n$INSTDIR$\r$\n$\r$\nQuellbox guarda su registro y sus sitios de confianza en su carpeta. Elija una carpeta en la que pueda escribir."
LangString CannotWrite ${LANG_FRENCH} "Le programme d'installation ne peut pas écrire dans le dossier$\r$\n$INSTDIR$\r$\n$\r$\nQuellbox conserve son journal et ses sites de confiance dans son dossier. Choisissez un dossier dans lequel vous pouvez écrire."

LangString RemoveData ${LANG_ENGLISH} "Also remove your trusted sites, the log of blocked pop-ups and the settings of Quellbox?"
LangString RemoveData ${LANG_PORTUGUESEBR} "Remover também os seus sites confiáveis, o registro de janelas popup bloqueadas e as configurações do Quellbox?"
LangString RemoveData ${LANG_SPANISH} "¿Eliminar también sus sitios de confianza, el registro de ventanas emergentes bloqueadas y la configuración de Quellbox?"
LangString RemoveData ${LANG_FRENCH} "Supprimer aussi vos sites de confiance, le journal des fenêtres popup bloquées et les réglages de Quellbox ?"

LangString BadFolder ${LANG_ENGLISH} "Quellbox cannot be installed in$\r$\n$INSTDIR$\r$\n$\r$\nChoose a folder of its own on a drive, such as$\r$\n$LOCALAPPDATA\Programs\Quellbox"
LangString BadFolder ${LANG_PORTUGUESEBR} "O Quellbox não pode ser instalado em$\r$\n$INSTDIR$\r$\n$\r$\nEscolha uma pasta só para ele em uma unidade, como$\r$\n$LOCALAPPDATA\Programs\Quellbox"
LangString BadFolder ${LANG_SPANISH} "Quellbox no se puede instalar en$\r$\n$INSTDIR$\r$\n$\r$\nElija una carpeta propia en una unidad, como$\r$\n$LOCALAPPDATA\Programs\Quellbox"
LangString BadFolder ${LANG_FRENCH} "Quellbox ne peut pas être installé dans$\r$\n$INSTDIR$\r$\n$\r$\nChoisissez un dossier qui lui soit propre sur un lecteur, par exemple$\r$\n$LOCALAPPDATA\Programs\Quellbox"

LangString OtherCopy ${LANG_ENGLISH} "Quellbox is already installed in$\r$\n$OtherFolder$\r$\n$\r$\nInstall it into that folder again, or uninstall it first (Add or Remove Programs) to install it elsewhere."
LangString OtherCopy ${LANG_PORTUGUESEBR} "O Quellbox já está instalado em$\r$\n$OtherFolder$\r$\n$\r$\nInstale-o de novo nessa pasta ou desinstale-o antes (Adicionar ou Remover Programas) para instalá-lo em outro lugar."
LangString OtherCopy ${LANG_SPANISH} "Quellbox ya está instalado en$\r$\n$OtherFolder$\r$\n$\r$\nVuelva a instalarlo en esa carpeta, o desinstálelo antes (Agregar o quitar programas) para instalarlo en otro lugar."
LangString OtherCopy ${LANG_FRENCH} "Quellbox est déjà installé dans$\r$\n$OtherFolder$\r$\n$\r$\nRéinstallez-le dans ce dossier, ou désinstallez-le d'abord (Ajout/Suppression de programmes) pour l'installer ailleurs."

Var ClosedRunning  ; 1 when the setup closed a running Quellbox, which it then starts again
Var FreshFolder    ; 1 when the setup made the install folder itself
Var OtherFolder    ; the folder of the copy the Uninstall entry names, when it is not $INSTDIR

; The language the program itself would speak: the primary language of the user's default
; language, else of the system's; English for any language it does not speak.
!macro PICK_LANGUAGE
  System::Call 'kernel32::GetUserDefaultLangID() i .r0'
  IntOp $0 $0 & 0xFF
  ${If} $0 = 0
    System::Call 'kernel32::GetSystemDefaultLangID() i .r0'
    IntOp $0 $0 & 0xFF
  ${EndIf}
  ${If} $0 = 0x16
    StrCpy $LANGUAGE ${LANG_PORTUGUESEBR}
  ${ElseIf} $0 = 0x0A
    StrCpy $LANGUAGE ${LANG_SPANISH}
  ${ElseIf} $0 = 0x0C
    StrCpy $LANGUAGE ${LANG_FRENCH}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!macroend

; Asks a running Quellbox to close as Windows does at log-off (WM_CLOSE to its window, so it
; saves its settings) and waits until its process has gone and its exe can be replaced. $0 is
; 1 when one was running, 0 when none was, and "timeout" when it would not close within 30
; seconds. A hung one answers no message: each is sent with SMTO_ABORTIFHUNG and a 2-second
; bound, and the wait is bounded by the clock, not by a count of passes.
!macro CLOSE_QUELLBOX UN
Function ${UN}CloseQuellbox
  Push $1
  Push $2
  Push $3
  StrCpy $0 0
  System::Call 'kernel32::GetTickCount() i .r3'
  ${Do}
    FindWindow $1 "${MAIN_WINDOW_CLASS}"
    ${If} $1 = 0
      System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .r1'
      ${If} $1 = 0
        ${Break}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
    ${Else}
      System::Call 'user32::SendMessageTimeoutW(p r1, i ${WM_CLOSE}, p 0, p 0, i 2, i 2000, *p .r2)'
    ${EndIf}
    StrCpy $0 1
    System::Call 'kernel32::GetTickCount() i .r2'
    IntOp $2 $2 - $3
    ${If} $2 U> 30000
      StrCpy $0 timeout
      ${Break}
    ${EndIf}
    Sleep 250
  ${Loop}
  ; The mutex goes before the image is unmapped: wait until the exe opens for writing.
  ${If} $0 = 1
  ${AndIf} ${FileExists} "$INSTDIR\Quellbox.exe"
    StrCpy $2 0
    ${Do}
      ClearErrors
      FileOpen $1 "$INSTDIR\Quellbox.exe" a
      ${IfNot} ${Errors}
        FileClose $1
        ${Break}
      ${EndIf}
      IntOp $2 $2 + 1
      ${If} $2 > 40
        StrCpy $0 timeout
        ${Break}
      ${EndIf}
      Sleep 250
    ${Loop}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro CLOSE_QUELLBOX ""
!insertmacro CLOSE_QUELLBOX "un."

; Adds the size of an installed file to $0.
!macro ADD_SIZE FILE
  FileOpen $1 "$INSTDIR\${FILE}" r
  FileSeek $1 0 END $2
  FileClose $1
  IntOp $0 $0 + $2
!macroend

; $0 is "ok" when Quellbox can be installed in $INSTDIR, else what to tell the user: a drive's
; root or a relative path is no folder of its own (the uninstaller would refuse it); one
; copy is installed at a time, so that the Uninstall entry, the start-menu links and the Run
; entry describe it; and the folder must be one Quellbox can write its files in. A folder made
; only for the test is removed again, so that a cancelled setup leaves nothing behind.
Function CheckInstallFolder
  StrCpy $0 $(BadFolder)
  StrCpy $1 $INSTDIR 2      ; "\\" starts a network path, taken as it is
  StrCpy $2 $INSTDIR 2 1    ; ":\" after a drive letter
  StrCpy $3 $INSTDIR "" 3   ; the folder below the drive's root
  ${If} $1 != "\\"
  ${AndIf} $2 != ":\"
  ${OrIf} $3 == ""
    Return
  ${EndIf}

  ReadRegStr $OtherFolder HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $OtherFolder != ""
  ${AndIf} $OtherFolder != $INSTDIR
  ${AndIf} ${FileExists} "$OtherFolder\Quellbox.exe"
    StrCpy $0 $(OtherCopy)
    Return
  ${EndIf}

  StrCpy $FreshFolder 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $FreshFolder 1
  ${EndIf}
  StrCpy $0 $(CannotWrite)
  ClearErrors
  CreateDirectory "$INSTDIR"
  ${IfNot} ${Errors}
    FileOpen $1 "$INSTDIR\~quellbox-setup.tmp" w
    ${IfNot} ${Errors}
      FileClose $1
      Delete "$INSTDIR\~quellbox-setup.tmp"
      StrCpy $0 ok
    ${EndIf}
  ${EndIf}
  ${If} $FreshFolder = 1
    RMDir "$INSTDIR"
  ${EndIf}
FunctionEnd

Function .onInit
  !insertmacro PICK_LANGUAGE
  SetShellVarContext current
  ; A /D= folder with a file in its way is dropped for the default without a word: take it
  ; back, so that it is refused with a message instead of installing somewhere else.
  System::Call 'kernel32::GetCommandLineW() w .r0'
  ${WordFind} "$0" " /D=" "E-1}" $1
  ${IfNot} ${Errors}
  ${AndIf} $1 != $INSTDIR
    StrCpy $INSTDIR $1
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  Call CheckInstallFolder
  ${If} $0 != ok
    MessageBox MB_OK|MB_ICONEXCLAMATION "$0"
    Abort
  ${EndIf}
FunctionEnd

Section "Quellbox"
  ; Checked again here: a silent install never saw the folder page.
  Call CheckInstallFolder
  ${If} $0 != ok
    MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
    Abort
  ${EndIf}
  Call CloseQuellbox
  StrCpy $ClosedRunning $0
  ${If} $0 == timeout
    MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
    Abort
  ${EndIf}

  ; The user's trust.hosts, url.log and spyware.lst live here too and are never touched.
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}\Quellbox.exe"
  File "${HELP_FILE}"
  File "${SOURCE_DIR}\resources\357.wav"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Quellbox"
  CreateShortcut "$SMPROGRAMS\Quellbox\Quellbox.lnk" "$INSTDIR\Quellbox.exe"
  CreateShortcut "$SMPROGRAMS\Quellbox\$(HelpLink).lnk" "$INSTDIR\Quellbox.chm"
  CreateShortcut "$SMPROGRAMS\Quellbox\$(UninstallLink).lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quellbox.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  ; _?= runs the uninstaller in place, so that whoever started it waits until it has finished.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The files installed, in KB rounded up; what else the folder holds is not Quellbox's.
  StrCpy $0 1023
  !insertmacro ADD_SIZE Quellbox.exe
  !insertmacro ADD_SIZE Quellbox.chm
  !insertmacro ADD_SIZE 357.wav
  !insertmacro ADD_SIZE uninstall.exe
  IntOp $0 $0 / 1024
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Quellbox adds its Run entry only on its first run: a reinstall after an uninstall that kept
  ; the settings would leave it off while Options shows it on. Quoted, as a path may hold blanks.
  ReadRegStr $1 HKCU "${SETTINGS_KEY}" "Startup"
  ${If} $1 == ""
  ${OrIf} $1 == "1"
    WriteRegStr HKCU "${RUN_KEY}" "Quellbox" '"$INSTDIR\Quellbox.exe"'
  ${EndIf}

  ; An update must not leave the user without the blocker that was running.
  ${If} ${Silent}
  ${AndIf} $ClosedRunning = 1
    Exec '"$INSTDIR\Quellbox.exe"'
  ${EndIf}
SectionEnd

; A first install that failed half-way takes back what it put down.
Function .onInstFailed
  ${If} $FreshFolder = 1
    Delete "$INSTDIR\Quellbox.exe"
    Delete "$INSTDIR\Quellbox.chm"
    Delete "$INSTDIR\357.wav"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro PICK_LANGUAGE
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  Call un.CloseQuellbox
  ${If} $0 == timeout
    MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
    Abort
  ${EndIf}

  Delete "$INSTDIR\Quellbox.exe"
  Delete "$INSTDIR\Quellbox.chm"
  Delete "$INSTDIR\357.wav"
  Delete "$INSTDIR\uninstall.exe"
  ; The entry and the links describe the copy the entry names: another copy's stay.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    Delete "$SMPROGRAMS\Quellbox\*.lnk"
    RMDir "$SMPROGRAMS\Quellbox"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}

  ; The program's own start-with-Windows entry, when it is this copy's (quoted when the path
  ; has a blank).
  ReadRegStr $0 HKCU "${RUN_KEY}" "Quellbox"
  ${If} $0 == "$INSTDIR\Quellbox.exe"
  ${OrIf} $0 == '"$INSTDIR\Quellbox.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "Quellbox"
  ${EndIf}

  MessageBox MB_YESNO|MB_ICONQUESTION "$(RemoveData)" /SD IDNO IDNO keep
    Delete "$INSTDIR\trust.hosts"
    Delete "$INSTDIR\url.log"
    Delete "$INSTDIR\spyware.lst"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Tarnik"
  keep:
  RMDir "$INSTDIR"
  ; Run in place (_?=), the uninstaller cannot delete itself: a hidden command does it once it
  ; has ended.
  ${If} $EXEDIR == $INSTDIR
    ExecShell "" "$SYSDIR\cmd.exe" '/c ping -n 3 127.0.0.1 >nul & del /f /q "$INSTDIR\uninstall.exe" & rd "$INSTDIR"' SW_HIDE
  ${EndIf}
SectionEnd
