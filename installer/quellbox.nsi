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
!insertmacro MUI_LANGUAGE "Portuguese"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "French"

LangString HelpLink ${LANG_ENGLISH} "Quellbox Help"
LangString HelpLink ${LANG_PORTUGUESE} "Ajuda do Quellbox"
LangString HelpLink ${LANG_SPANISH} "Ayuda de Quellbox"
LangString HelpLink ${LANG_FRENCH} "Aide de Quellbox"

LangString UninstallLink ${LANG_ENGLISH} "Uninstall Quellbox"
LangString UninstallLink ${LANG_PORTUGUESE} "Desinstalar o Quellbox"
LangString UninstallLink ${LANG_SPANISH} "Desinstalar Quellbox"
LangString UninstallLink ${LANG_FRENCH} "Désinstaller Quellbox"

LangString StillRunning ${LANG_ENGLISH} "Quellbox is still running and did not close. Close it from its icon in the notification area, then try again."
LangString StillRunning ${LANG_PORTUGUESE} "O Quellbox continua em execução e não foi fechado. Feche-o a partir do seu ícone na área de notificação e tente novamente."
LangString StillRunning ${LANG_SPANISH} "Quellbox sigue en ejecución y no se ha cerrado. Ciérrelo desde su icono en el área de notificación y vuelva a intentarlo."
LangString StillRunning ${LANG_FRENCH} "Quellbox est toujours en cours d'exécution et ne s'est pas fermé. Fermez-le depuis son icône dans la zone de notification, puis réessayez."

LangString CannotWrite ${LANG_ENGLISH} "Setup cannot write to the folder$\r$\n$INSTDIR$\r$\n$\r$\nQuellbox keeps its log and trusted sites in its folder. Choose a folder you can write to."
LangString CannotWrite ${LANG_PORTUGUESE} "O programa de instalação não consegue escrever na pasta$\r$\n$INSTDIR$\r$\n$\r$\nO Quellbox guarda o registo e os sites de confiança na sua pasta. Escolha uma pasta onde possa escrever."
LangString CannotWrite ${LANG_SPANISH} "El programa de instalación no puede escribir en la carpeta$\r$\n$INSTDIR$\r$\n$\r$\nQuellbox guarda su registro y sus sitios de confianza en su carpeta. Elija una carpeta en la que pueda escribir."
LangString CannotWrite ${LANG_FRENCH} "Le programme d'installation ne peut pas écrire dans le dossier$\r$\n$INSTDIR$\r$\n$\r$\nQuellbox conserve son journal et ses sites de confiance dans son dossier. Choisissez un dossier dans lequel vous pouvez écrire."

LangString RemoveData ${LANG_ENGLISH} "Also remove your trusted sites, the log of blocked pop-ups and the settings of Quellbox?"
LangString RemoveData ${LANG_PORTUGUESE} "Remover também os seus sites de confiança, o registo de janelas popup bloqueadas e as definições do Quellbox?"
LangString RemoveData ${LANG_SPANISH} "¿Eliminar también sus sitios de confianza, el registro de ventanas emergentes bloqueadas y la configuración de Quellbox?"
LangString RemoveData ${LANG_FRENCH} "Supprimer aussi vos sites de confiance, le journal des fenêtres popup bloquées et les réglages de Quellbox ?"

Var ClosedRunning  ; 1 when the setup closed a running Quellbox, which it then starts again
Var FreshFolder    ; 1 when the setup made the install folder itself

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
    StrCpy $LANGUAGE ${LANG_PORTUGUESE}
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
; 1 when one was running, 0 when none was, and "timeout" when it would not close.
!macro CLOSE_QUELLBOX UN
Function ${UN}CloseQuellbox
  Push $1
  Push $2
  StrCpy $0 0
  StrCpy $2 0
  ${Do}
    FindWindow $1 "${MAIN_WINDOW_CLASS}"
    ${If} $1 = 0
      System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .r1'
      ${If} $1 = 0
        ${Break}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
    ${Else}
      SendMessage $1 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    StrCpy $0 1
    IntOp $2 $2 + 1
    ${If} $2 > 120  ; 30 seconds
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
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro CLOSE_QUELLBOX ""
!insertmacro CLOSE_QUELLBOX "un."

; $0 is "ok" when the install folder can be made and written to. A folder made only for the
; test is removed again, so that a cancelled setup leaves nothing behind.
Function CheckInstallFolder
  StrCpy $FreshFolder 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $FreshFolder 1
  ${EndIf}
  StrCpy $0 bad
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
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(CannotWrite)"
    Abort
  ${EndIf}
FunctionEnd

Section "Quellbox"
  ; Checked again here: a silent install never saw the folder page.
  Call CheckInstallFolder
  ${If} $0 != ok
    MessageBox MB_OK|MB_ICONSTOP "$(CannotWrite)" /SD IDOK
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
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

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
  Delete "$SMPROGRAMS\Quellbox\*.lnk"
  RMDir "$SMPROGRAMS\Quellbox"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

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
SectionEnd
