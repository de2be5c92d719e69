; Pelloran's Windows installer, for one user or for every user of the computer.
; makensis -DSTAGE=<staged folder> -DVERSION=<version> -DOUTFILE=<setup.exe> Pelloran.nsi
; Silent use: setup.exe /S [/CurrentUser | /AllUsers] [/AssociateCsv] [/D=<folder>],
; Uninstall.exe /S.

Unicode true
; The 32-bit stub would need WoW64 and would see the 32-bit registry and Program Files.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!ifndef STAGE
  !error "STAGE (the staged folder to install) is not defined"
!endif
!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE (the setup program to write) is not defined"
!endif

; The uninstaller removes exactly what was installed, so the list of staged files is written
; into the installer when it is built.
!tempfile STAGED_FILES
; makensis stops at a failure before it reaches !delfile.
!system '"${__FILEDIR__}/nsis-file-list" "${STAGE}" > "${STAGED_FILES}" || { rm -f "${STAGED_FILES}"; exit 1; }' = 0
!include /CHARSET=UTF8 "${STAGED_FILES}"
!delfile "${STAGED_FILES}"

Name "Pelloran"
OutFile "${OUTFILE}"
BrandingText "Pelloran ${VERSION}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelloran"
!define CSV_KEY "Software\Classes\.csv"
!define CSV_PROGID "Pelloran.AnswerFile"
!define CSV_PROGID_KEY "Software\Classes\${CSV_PROGID}"
; Where the .csv default found at install time is kept, to be given back on uninstall.
!define CSV_PREVIOUS_VALUE "Pelloran.PreviousProgID"
!define SHCNE_ASSOCCHANGED 0x08000000

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Pelloran"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE "$(AllUsersNotPossible)"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
; A teacher without administrator rights installs for herself; an administrator chooses.
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used where Windows asks for neither.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString SectionCsvName ${LANG_JAPANESE} "CSV の関連付け"
LangString SectionCsvName ${LANG_ENGLISH} ".csv association"
LangString SectionProgramText ${LANG_JAPANESE} "Pelloran 本体とスタート メニューの項目。"
LangString SectionProgramText ${LANG_ENGLISH} "The program and its Start menu entry."
LangString SectionCsvText ${LANG_JAPANESE} "拡張子 .csv のファイル (解答ファイル) をダブルクリックすると Pelloran で開きます。"
LangString SectionCsvText ${LANG_ENGLISH} "Double-clicking a .csv file (an answer file) opens it in Pelloran."
LangString CsvTypeName ${LANG_JAPANESE} "カンマ区切りテキスト"
LangString CsvTypeName ${LANG_ENGLISH} "Comma-separated text"
LangString AllUsersNotPossible ${LANG_JAPANESE} "このユーザー アカウントには、コンピューターのすべてのユーザーに Pelloran をインストールする権限がありません。"
LangString AllUsersNotPossible ${LANG_ENGLISH} "Your user account may not install Pelloran for all users of this computer."
LangString UninstallNeedsAdmin ${LANG_JAPANESE} "Pelloran はコンピューターのすべてのユーザーにインストールされています。アンインストールには管理者の権限が必要です。"
LangString RemovingPrevious ${LANG_JAPANESE} "以前のバージョンを削除しています:"
LangString RemovingPrevious ${LANG_ENGLISH} "Removing the earlier version:"
LangString UninstallNeedsAdmin ${LANG_ENGLISH} "Pelloran is installed for all users of this computer; removing it needs administrator rights."

; An earlier install in this mode is uninstalled first, so that files it had and this version
; lacks do not stay behind for ever. Its uninstaller leaves the teacher's files as they are.
Function RemovePreviousInstall
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIfNot} ${FileExists} "$0\Uninstall.exe"
    Return
  ${EndIf}
  DetailPrint "$(RemovingPrevious) $0"
  ; Run in place, the uninstaller cannot delete itself.
  ExecWait '"$0\Uninstall.exe" /S _?=$0'
  Delete "$0\Uninstall.exe"
  RMDir "$0"
FunctionEnd

Section "Pelloran" SectionProgram
  SectionIn RO
  Call RemovePreviousInstall
  !insertmacro INSTALL_STAGED_FILES
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Pelloran.lnk" "$INSTDIR\pelloran.exe"

  ; SHCTX is HKCU for a per-user install and HKLM for a machine-wide one.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Pelloran"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Pelloran"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pelloran123.ico"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" ${STAGE_SIZE_KB}
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "$(SectionCsvName)" SectionCsv
  ReadRegStr $0 SHCTX "${CSV_KEY}" ""
  ${If} $0 != ""
  ${AndIf} $0 != "${CSV_PROGID}"
    WriteRegStr SHCTX "${CSV_KEY}" "${CSV_PREVIOUS_VALUE}" $0
  ${EndIf}
  WriteRegStr SHCTX "${CSV_PROGID_KEY}" "" "$(CsvTypeName)"
  WriteRegStr SHCTX "${CSV_PROGID_KEY}\DefaultIcon" "" "$INSTDIR\Pelloran123.ico"
  WriteRegStr SHCTX "${CSV_PROGID_KEY}\shell\open\command" "" '"$INSTDIR\pelloran.exe" "%1"'
  WriteRegStr SHCTX "${CSV_KEY}" "" "${CSV_PROGID}"
  WriteRegStr SHCTX "${CSV_KEY}\OpenWithProgids" "${CSV_PROGID}" ""
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

; Placed after the sections, whose indexes it needs.
Function .onInit
  ; MultiUser sets the default folder of the mode and would overwrite a folder given with /D=.
  StrCpy $0 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
  ; Replacing an earlier install removes its association, so it is offered again as chosen.
  ReadRegStr $1 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $2 SHCTX "${CSV_PROGID_KEY}\shell\open\command" ""
  ${If} $1 != ""
  ${AndIf} $2 == '"$1\pelloran.exe" "%1"'
    !insertmacro SelectSection ${SectionCsv}
  ${EndIf}
  ; Lets a silent install, as school IT deploys it, choose the optional association.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AssociateCsv" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SectionCsv}
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "$(SectionProgramText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionCsv} "$(SectionCsvText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ; One uninstaller serves both modes: the registration that names this folder tells which
  ; mode installed it, whatever account runs the uninstaller.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    Call un.MultiUser.InstallMode.CurrentUser
  ${ElseIf} $1 == $INSTDIR
    ${If} $MultiUser.Privileges != "Admin"
    ${AndIf} $MultiUser.Privileges != "Power"
      MessageBox MB_OK|MB_ICONSTOP "$(UninstallNeedsAdmin)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Call un.MultiUser.InstallMode.AllUsers
  ${EndIf}
FunctionEnd

; Leaves the association alone when another Pelloran folder has taken it over since.
Function un.RemoveCsvAssociation
  ReadRegStr $0 SHCTX "${CSV_PROGID_KEY}\shell\open\command" ""
  ${If} $0 != '"$INSTDIR\pelloran.exe" "%1"'
    Return
  ${EndIf}
  DeleteRegKey SHCTX "${CSV_PROGID_KEY}"
  DeleteRegValue SHCTX "${CSV_KEY}\OpenWithProgids" "${CSV_PROGID}"
  ReadRegStr $0 SHCTX "${CSV_KEY}" ""
  ${If} $0 == "${CSV_PROGID}"
    ReadRegStr $1 SHCTX "${CSV_KEY}" "${CSV_PREVIOUS_VALUE}"
    ${If} $1 == ""
      DeleteRegValue SHCTX "${CSV_KEY}" ""
    ${Else}
      WriteRegStr SHCTX "${CSV_KEY}" "" $1
    ${EndIf}
  ${EndIf}
  DeleteRegValue SHCTX "${CSV_KEY}" "${CSV_PREVIOUS_VALUE}"
  DeleteRegKey /ifempty SHCTX "${CSV_KEY}\OpenWithProgids"
  DeleteRegKey /ifempty SHCTX "${CSV_KEY}"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
FunctionEnd

Section "Uninstall"
  Call un.RemoveCsvAssociation
  !insertmacro REMOVE_STAGED_FILES

  ; A registration or shortcut that names another folder belongs to a newer install there.
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    Delete "$SMPROGRAMS\Pelloran.lnk"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ${EndIf}

  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: answer files and pelloran.ini saved beside the program stay.
  RMDir "$INSTDIR"
SectionEnd
