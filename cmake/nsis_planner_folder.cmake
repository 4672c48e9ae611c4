# NSIS pieces of the installer: a page of its own for the planning tool's
# folder (where config.xml lies), the Start-menu entry that starts the
# window there, the folder kept as the installing user's "config_dir", and
# "Open with Brindlemarque" for template files (.vsk).
#
# The page's texts are language strings in English and German, picked like
# the rest of the installer's from the system's language (others get
# English). A silent install takes the folder as /PLANNER=FOLDER; without
# one, the installer looks for the planner in the usual places.

# In the place of the licence page (no licence is shown), before the
# install folder is chosen.
set(CPACK_NSIS_LICENSE_PAGE [=[
  !include "FileFunc.nsh"
  Var PlannerFolder
  LangString PlannerHeader 1033 "Planner folder"
  LangString PlannerHeader 1031 "Planer-Ordner"
  LangString PlannerSubheader 1033 "Choose the spellcraft planner's folder, where config.xml lies."
  LangString PlannerSubheader 1031 "Wähle den Ordner des Spellcraft-Planers, in dem config.xml liegt."
  LangString PlannerText 1033 "Brindlemarque reads config.xml and config_gem.xml from the spellcraft planner's folder. The Start-menu entry starts Brindlemarque there, and the window remembers it."
  LangString PlannerText 1031 "Brindlemarque liest config.xml und config_gem.xml aus dem Ordner des Spellcraft-Planers. Der Startmenü-Eintrag startet Brindlemarque dort, und das Fenster merkt ihn sich."
  LangString PlannerLabel 1033 "Planner's folder"
  LangString PlannerLabel 1031 "Ordner des Planers"
  LangString PlannerMissing 1033 "This folder holds no config.xml and config_gem.xml; Brindlemarque cannot build from it. Use it all the same?"
  LangString PlannerMissing 1031 "In diesem Ordner liegen keine config.xml und config_gem.xml; Brindlemarque kann damit nicht arbeiten. Trotzdem verwenden?"
  !define MUI_PAGE_HEADER_TEXT "$(PlannerHeader)"
  !define MUI_PAGE_HEADER_SUBTEXT "$(PlannerSubheader)"
  !define MUI_DIRECTORYPAGE_TEXT_TOP "$(PlannerText)"
  !define MUI_DIRECTORYPAGE_TEXT_DESTINATION "$(PlannerLabel)"
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

  ; $PlannerFolder from /PLANNER=, else found in the user's documents or the
  ; program folders; empty when none is.
  Function ChoosePlannerFolder
    StrCmp $PlannerFolder "" 0 chosen
    Push $R0
    Push $R1
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/PLANNER=" $R1
    IfErrors 0 given
    Call UserDocuments
    Call FindPlannerIn
    StrCmp $PlannerFolder "" 0 found
    StrCpy $R0 "$PROGRAMFILES64"
    Call FindPlannerIn
    StrCmp $PlannerFolder "" 0 found
    StrCpy $R0 "$PROGRAMFILES32"
    Call FindPlannerIn
    Goto found
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

  ; A folder without the planner's files is taken only when the user says so.
  Function PlannerFolderLeave
    IfFileExists "$PlannerFolder\config.xml" 0 warn
    IfFileExists "$PlannerFolder\config_gem.xml" ok warn
    warn:
      MessageBox MB_YESNO|MB_ICONEXCLAMATION "$(PlannerMissing)" IDYES ok
      Abort
    ok:
  FunctionEnd
]=])
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [=[
  Call ChoosePlannerFolder
  ; The folder the window finds when started another way too; only one that
  ; holds the planner's file, as the window itself keeps only such a folder.
  IfFileExists "$PlannerFolder\config.xml" 0 +2
    WriteRegStr HKCU "Software\Daoc\Brindlemarque\settings" "config_dir" "$PlannerFolder"
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
  DeleteRegKey HKLM "Software\Classes\Applications\Brindlemarque.exe"
  DeleteRegKey HKLM "Software\Classes\.vsk\OpenWithList\Brindlemarque.exe"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vsk\OpenWithList"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vsk"
]=])
