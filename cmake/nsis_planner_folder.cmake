# NSIS pieces of the installer: a page of its own for the planning tool's
# folder (where config.xml lies), the Start-menu entry that starts the
# window there, the folder kept as the installing user's "config_dir", and
# "Open with Brindlemarque" for template files (.vsk).
#
# The installer's own texts (this page, its browse dialog, the warning, the
# question before a reinstall) exist in every language the installer offers:
# German and French translated, every other language in English, as NSIS
# shows nothing for a language without the text. A silent install takes the
# folder as /PLANNER=FOLDER, quoted whole or not; a folder given that does not
# hold the planner's files stops it with exit code 2 and a line in
# %TEMP%\Brindlemarque-install.log, before anything on the machine changes
# (an installed version stays as it is). Without one, the installer proposes
# the folder kept before, else looks for the planner in the usual places.

# The installer's texts: name, English, German, French (no ";": it would
# split the list; a line break is ${U+000A}, as CPack turns "\\n" into one).
set(_texts
  PlannerHeader "Planner folder" "Planer-Ordner" "Dossier du planificateur"
  PlannerSubheader "Choose the spellcraft planner's folder, where config.xml lies."
    "Wählen Sie den Ordner des Spellcraft-Planers, in dem config.xml liegt."
    "Choisissez le dossier du planificateur de spellcraft, où se trouve config.xml."
  PlannerText "Brindlemarque reads config.xml and config_gem.xml from the spellcraft planner's folder. The Start-menu entry starts Brindlemarque there, and the window remembers it."
    "Brindlemarque liest config.xml und config_gem.xml aus dem Ordner des Spellcraft-Planers. Der Startmenü-Eintrag startet Brindlemarque dort, und das Fenster merkt sich den Ordner."
    "Brindlemarque lit config.xml et config_gem.xml dans le dossier du planificateur de spellcraft. L'entrée du menu Démarrer y lance Brindlemarque, et la fenêtre s'en souvient."
  PlannerLabel "Planner's folder" "Ordner des Planers" "Dossier du planificateur"
  PlannerBrowseText "Select the spellcraft planner's folder (with config.xml and config_gem.xml):"
    "Wählen Sie den Ordner des Spellcraft-Planers (mit config.xml und config_gem.xml):"
    "Sélectionnez le dossier du planificateur de spellcraft (avec config.xml et config_gem.xml) :"
  PlannerMissing "This folder holds no config.xml and config_gem.xml. Brindlemarque cannot build from it. Use it all the same?"
    "In diesem Ordner liegen keine config.xml und config_gem.xml. Brindlemarque kann damit nicht arbeiten. Trotzdem verwenden?"
    "Ce dossier ne contient ni config.xml ni config_gem.xml. Brindlemarque ne peut rien construire avec. L'utiliser quand même ?"
  PlannerMissingOne "This folder holds no $R9. Brindlemarque cannot build from it. Use it all the same?"
    "In diesem Ordner liegt keine $R9. Brindlemarque kann damit nicht arbeiten. Trotzdem verwenden?"
    "Ce dossier ne contient pas de $R9. Brindlemarque ne peut rien construire avec. L'utiliser quand même ?"
  ReinstallQuestion "Brindlemarque is already installed.\${U+000A}\${U+000A}Do you want to uninstall the old version before installing the new one?"
    "Brindlemarque ist bereits installiert.\${U+000A}\${U+000A}Möchten Sie die alte Version deinstallieren, bevor die neue installiert wird?"
    "Brindlemarque est déjà installé.\${U+000A}\${U+000A}Voulez-vous désinstaller l'ancienne version avant d'installer la nouvelle ?")
# The languages the installer offers: those of NSIS's language files.
# (Looked for on the build machine, outside a cross build's root.)
foreach(_dir /usr/share/nsis /usr/local/share/nsis "$ENV{ProgramFiles}/NSIS")
  if(EXISTS "${_dir}/Contrib/Language files/English.nlf")
    set(NSIS_LANGUAGE_DIR "${_dir}/Contrib/Language files")
    break()
  endif()
endforeach()
if(NOT NSIS_LANGUAGE_DIR)
  message(FATAL_ERROR "NSIS's language files (English.nlf) were not found; is NSIS installed?")
endif()
file(GLOB _language_files "${NSIS_LANGUAGE_DIR}/*.nlf")
set(NSIS_LANGUAGE_STRINGS "")
foreach(_file IN LISTS _language_files)
  # The language's number: the first line of the header that is only a number.
  file(STRINGS "${_file}" _id LIMIT_COUNT 1 REGEX "^[0-9]+[ \t\r]*$")
  string(STRIP "${_id}" _id)
  if(NOT _id MATCHES "^[0-9]+$")
    message(FATAL_ERROR "${_file} names no language number")
  endif()
  list(LENGTH _texts _count)
  foreach(_at RANGE 0 ${_count} 4)
    if(_at EQUAL _count)
      break()
    endif()
    math(EXPR _de "${_at} + 2")
    math(EXPR _fr "${_at} + 3")
    math(EXPR _en "${_at} + 1")
    list(GET _texts ${_at} _name)
    if(_id STREQUAL "1031")
      list(GET _texts ${_de} _text)
    elseif(_id STREQUAL "1036")
      list(GET _texts ${_fr} _text)
    else()
      list(GET _texts ${_en} _text)
    endif()
    string(APPEND NSIS_LANGUAGE_STRINGS "  LangString ${_name} ${_id} \"${_text}\"\n")
  endforeach()
endforeach()

# CPack's installer script, with the question before a reinstall asked in
# the installer's language (CPack writes it in English only).
file(READ "${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in" _template)
set(_question [=["@CPACK_NSIS_PACKAGE_NAME@ is already installed. $\n$\nDo you want to uninstall the old version before installing the new one?"]=])
string(FIND "${_template}" "${_question}" _found)
if(_found EQUAL -1)
  message(FATAL_ERROR "CPack's NSIS template has no reinstall question to translate")
endif()
string(REPLACE "${_question}" [=["$(ReinstallQuestion)"]=] _template "${_template}")
# A silent install that will be refused stops before anything on the
# machine changes: before the old version is uninstalled.
set(_init "Function .onInit\n")
string(FIND "${_template}" "${_init}" _found)
if(_found EQUAL -1)
  message(FATAL_ERROR "CPack's NSIS template has no .onInit to refuse a silent install in")
endif()
string(REPLACE "${_init}" "${_init}  Call RefuseSilentInstall\n" _template "${_template}")
# The old version's uninstaller runs in place, where it cannot remove
# itself: once it succeeded, it goes, and its folder with it when empty
# (an install into another folder leaves nothing behind).
set(_uninstall [=[  ExecWait '"$0" /S _?=$3' ;Do not copy the uninstaller to a temp file

  IfErrors uninst_failed inst]=])
string(FIND "${_template}" "${_uninstall}" _found)
if(_found EQUAL -1)
  message(FATAL_ERROR "CPack's NSIS template does not run the old uninstaller as expected")
endif()
string(REPLACE "${_uninstall}" [=[  ExecWait '"$0" /S _?=$3' ;Do not copy the uninstaller to a temp file

  IfErrors uninst_failed
  Delete "$0"
  RMDir "$3"
  Goto inst]=] _template "${_template}")
file(WRITE "${CMAKE_BINARY_DIR}/nsis/NSIS.template.in" "${_template}")
list(PREPEND CMAKE_MODULE_PATH "${CMAKE_BINARY_DIR}/nsis")

# In the place of the licence page (no licence is shown), before the
# install folder is chosen.
set(_page [=[
  !include "FileFunc.nsh"
  Var PlannerFolder
@NSIS_LANGUAGE_STRINGS@  !define MUI_PAGE_HEADER_TEXT "$(PlannerHeader)"
  !define MUI_PAGE_HEADER_SUBTEXT "$(PlannerSubheader)"
  !define MUI_DIRECTORYPAGE_TEXT_TOP "$(PlannerText)"
  ; The page's own browse dialog text: the directory page's macro passes
  ; its destination text on unquoted, so the two further texts ride along.
  !define MUI_DIRECTORYPAGE_TEXT_DESTINATION '$(PlannerLabel)" "$(^BrowseBtn)" "$(PlannerBrowseText)'
  !define MUI_PAGE_CUSTOMFUNCTION_SHOW PlannerFolderShow
  !define MUI_DIRECTORYPAGE_VARIABLE $PlannerFolder
  !define MUI_PAGE_CUSTOMFUNCTION_PRE PlannerFolderPre
  !define MUI_PAGE_CUSTOMFUNCTION_LEAVE PlannerFolderLeave
  !insertmacro MUI_PAGE_DIRECTORY

  ; A planner below $R0, one level deep: a folder holding config.xml next to
  ; a "templates" folder or a program. At most 200 entries are looked at.
  Function FindPlannerIn
    Push $R1
    Push $R2
    Push $R3
    StrCpy $R3 0
    FindFirst $R1 $R2 "$R0\*"
    loop:
      StrCmp $R2 "" done
      IntOp $R3 $R3 + 1
      IntCmp $R3 200 done 0 done
      StrCmp $R2 "." next
      StrCmp $R2 ".." next
      IfFileExists "$R0\$R2\config.xml" 0 next
      IfFileExists "$R0\$R2\templates\*.*" found
      IfFileExists "$R0\$R2\*.exe" found next
    found:
      StrCpy $PlannerFolder "$R0\$R2"
      Goto done
    next:
      FindNext $R1 $R2
      Goto loop
    done:
    FindClose $R1
    Pop $R3
    Pop $R2
    Pop $R1
  FunctionEnd

  ; $R0: the installing user's documents (an install for all users looks
  ; at the public folders otherwise).
  Function UserDocuments
    SetShellVarContext current
    StrCpy $R0 "$DOCUMENTS"
    StrCmp $SV_ALLUSERS "AllUsers" 0 +2
      SetShellVarContext all
  FunctionEnd

  ; $R1: the folder given as /PLANNER=FOLDER (up to the next " /"),
  ; /PLANNER="FOLDER" or, as a quoted argument arrives, "/PLANNER=FOLDER";
  ; the error flag is set when none is given.
  Function GivenPlannerFolder
    Push $R0
    Push $R2
    Push $R3
    Push $R4
    Push $R5
    ${GetParameters} $R0
    StrLen $R4 $R0
    StrCpy $R2 0
    search:
      IntCmp $R2 $R4 none 0 none
      StrCpy $R3 $R0 9 $R2
      StrCmp $R3 "/PLANNER=" found
      IntOp $R2 $R2 + 1
      Goto search
    found:
      ; The value ends at a quote when it, or the whole argument, was quoted.
      StrCpy $R5 " /"
      IntCmp $R2 0 after
      IntOp $R3 $R2 - 1
      StrCpy $R3 $R0 1 $R3
      StrCmp $R3 '"' 0 after
        StrCpy $R5 '"'
    after:
      IntOp $R2 $R2 + 9
      StrCpy $R1 $R0 "" $R2
      StrCpy $R3 $R1 1
      StrCmp $R3 '"' 0 +3
        StrCpy $R1 $R1 "" 1
        StrCpy $R5 '"'
      StrLen $R4 $R1
      StrCpy $R2 0
    scan:
      IntCmp $R2 $R4 cut 0 cut
      StrLen $R3 $R5
      StrCpy $R3 $R1 $R3 $R2
      StrCmp $R3 $R5 cut
      IntOp $R2 $R2 + 1
      Goto scan
    cut:
      StrCpy $R1 $R1 $R2
      ClearErrors
      Goto done
    none:
      SetErrors
    done:
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R0
  FunctionEnd

  ; A silent install given a folder without the planner's files stops
  ; before anything on the machine changes (an installed version stays as
  ; it is), and says why: exit code 2 and a line in the log.
  Function RefuseSilentInstall
    IfSilent 0 done
    Push $R1
    Call GivenPlannerFolder
    IfErrors checked
    IfFileExists "$R1\config.xml" 0 +2
    IfFileExists "$R1\config_gem.xml" checked
      FileOpen $0 "$TEMP\Brindlemarque-install.log" a
      FileSeek $0 0 END
      FileWrite $0 "Brindlemarque: not installed: /PLANNER=$R1 holds no config.xml and config_gem.xml${U+000D}${U+000A}"
      FileClose $0
      SetErrorLevel 2
      Quit
    checked:
    Pop $R1
    done:
  FunctionEnd

  ; $PlannerFolder from /PLANNER=, else the folder kept before (the
  ; installing user's, else the machine's), else one found in the user's
  ; documents or the program folders; empty when none is.
  Function ChoosePlannerFolder
    StrCmp $PlannerFolder "" 0 chosen
    Push $R0
    Push $R1
    Call GivenPlannerFolder
    IfErrors 0 given
    ReadRegStr $PlannerFolder HKCU "Software\Daoc\Brindlemarque\settings" "config_dir"
    StrCmp $PlannerFolder "" 0 kept
    ReadRegStr $PlannerFolder HKLM "Software\Daoc\Brindlemarque\settings" "config_dir"
    StrCmp $PlannerFolder "" 0 kept
    search:
    Call UserDocuments
    Call FindPlannerIn
    StrCmp $PlannerFolder "" 0 found
    StrCpy $R0 "$PROGRAMFILES64"
    Call FindPlannerIn
    StrCmp $PlannerFolder "" 0 found
    StrCpy $R0 "$PROGRAMFILES32"
    Call FindPlannerIn
    Goto found
    kept:
      ; a folder that is gone no longer counts
      IfFileExists "$PlannerFolder\*.*" found
      StrCpy $PlannerFolder ""
      Goto search
    given:
      StrCpy $PlannerFolder $R1
    found:
    Pop $R1
    Pop $R0
    chosen:
  FunctionEnd

  Function PlannerFolderPre
    Call ChoosePlannerFolder
    StrCmp $PlannerFolder "" 0 done
      Push $R0
      Call UserDocuments
      StrCpy $PlannerFolder $R0
      Pop $R0
    done:
  FunctionEnd

  ; The page is about the planner's folder, not about where to install:
  ; the space the install needs and the disk has free are not shown.
  Function PlannerFolderShow
    Push $0
    Push $1
    FindWindow $0 "#32770" "" $HWNDPARENT
    GetDlgItem $1 $0 1023
    ShowWindow $1 0
    GetDlgItem $1 $0 1024
    ShowWindow $1 0
    Pop $1
    Pop $0
  FunctionEnd

  ; A folder without the planner's files is taken only when the user says
  ; so; the warning names the file missing when only one is.
  Function PlannerFolderLeave
    Push $R9
    IfFileExists "$PlannerFolder\config.xml" 0 noconfig
    IfFileExists "$PlannerFolder\config_gem.xml" ok
      StrCpy $R9 "config_gem.xml"
      Goto one
    noconfig:
    IfFileExists "$PlannerFolder\config_gem.xml" 0 neither
      StrCpy $R9 "config.xml"
    one:
      MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "$(PlannerMissingOne)" IDYES ok
      Pop $R9
      Abort
    neither:
      MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "$(PlannerMissing)" IDYES ok
      Pop $R9
      Abort
    ok:
    Pop $R9
  FunctionEnd
]=])
string(CONFIGURE "${_page}" CPACK_NSIS_LICENSE_PAGE @ONLY)
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [=[
  ; (A silent install given a wrong folder was refused in .onInit.)
  Call ChoosePlannerFolder
  ; The folder the window finds when started another way too; only one that
  ; holds both of the planner's files, as the window itself keeps only such
  ; a folder. Other users of the machine, who have no folder of their own
  ; kept, find it as the machine's default. A folder without them never
  ; replaces a kept one that has them: that one stays, and the Start-menu
  ; entry starts there.
  Push $R9
  IfFileExists "$PlannerFolder\config.xml" 0 planner_half
  IfFileExists "$PlannerFolder\config_gem.xml" 0 planner_half
    WriteRegStr HKCU "Software\Daoc\Brindlemarque\settings" "config_dir" "$PlannerFolder"
    WriteRegStr HKLM "Software\Daoc\Brindlemarque\settings" "config_dir" "$PlannerFolder"
    Goto planner_kept
  planner_half:
    ReadRegStr $R9 HKCU "Software\Daoc\Brindlemarque\settings" "config_dir"
    StrCmp $R9 "" planner_kept
    IfFileExists "$R9\config.xml" 0 planner_kept
    IfFileExists "$R9\config_gem.xml" 0 planner_kept
      StrCpy $PlannerFolder $R9
  planner_kept:
  Pop $R9
  StrCmp $PlannerFolder "" 0 +2
    StrCpy $PlannerFolder "$INSTDIR"
]=])
set(CPACK_NSIS_CREATE_ICONS_EXTRA [=[
  SetOutPath "$PlannerFolder"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Brindlemarque.lnk" "$INSTDIR\Brindlemarque.exe" "" "$INSTDIR\Brindlemarque.exe" 0 SW_SHOWNORMAL "" "Brindlemarque"
  SetOutPath "$INSTDIR"
]=])
# Runs after the uninstaller removed its own key: the vendor's key, empty
# now, goes too.
set(CPACK_NSIS_DELETE_ICONS_EXTRA [=[
  Delete "$SMPROGRAMS\$MUI_TEMP\Brindlemarque.lnk"
  DeleteRegKey /ifempty SHCTX "Software\Brindlemarque"
]=])
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  WriteRegStr HKLM "Software\Classes\Applications\Brindlemarque.exe\shell\open\command" "" '"$INSTDIR\Brindlemarque.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\Applications\Brindlemarque.exe\SupportedTypes" ".vsk" ""
  WriteRegStr HKLM "Software\Classes\.vsk\OpenWithList\Brindlemarque.exe" "" ""
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  DeleteRegValue HKLM "Software\Daoc\Brindlemarque\settings" "config_dir"
  DeleteRegKey /ifempty HKLM "Software\Daoc\Brindlemarque\settings"
  DeleteRegKey /ifempty HKLM "Software\Daoc\Brindlemarque"
  DeleteRegKey /ifempty HKLM "Software\Daoc"
  DeleteRegKey HKLM "Software\Classes\Applications\Brindlemarque.exe"
  DeleteRegKey HKLM "Software\Classes\.vsk\OpenWithList\Brindlemarque.exe"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vsk\OpenWithList"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vsk"
]=])
