# NSIS pieces of the installer: a page that asks for the planning tool's
# folder (where config.xml lies), the Start-menu entry that starts the
# window there, and "Open with Brindlemarque" for template files (.vsk).
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [=[
  StrCmp $PlannerFolder "" 0 +2
    StrCpy $PlannerFolder "$INSTDIR"
]=])
set(CPACK_NSIS_CREATE_ICONS_EXTRA [=[
  SetOutPath "$PlannerFolder"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Brindlemarque.lnk" "$INSTDIR\Brindlemarque.exe" "" "$INSTDIR\Brindlemarque.exe" 0 SW_SHOWNORMAL "" "Brindlemarque (startet im Ordner des Spellcraft-Planers)"
  SetOutPath "$INSTDIR"
]=])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [=[
  Delete "$SMPROGRAMS\$MUI_TEMP\Brindlemarque.lnk"
]=])
# A folder page of its own, where the template has room for one page (no
# licence is shown), before the install folder is chosen.
set(CPACK_NSIS_LICENSE_PAGE [=[
  Var PlannerFolder
  !define MUI_PAGE_CUSTOMFUNCTION_PRE PlannerFolderPre
  !define MUI_DIRECTORYPAGE_VARIABLE $PlannerFolder
  !define MUI_DIRECTORYPAGE_TEXT_TOP "Brindlemarque liest config.xml und config_gem.xml aus dem Ordner des Spellcraft-Planers. Wähle diesen Ordner: der Startmenü-Eintrag startet Brindlemarque dort. (Später änderbar unter Eigenschaften > Ausführen in.)"
  !define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Ordner des Planers"
  !insertmacro MUI_PAGE_DIRECTORY
  Function PlannerFolderPre
    StrCmp $PlannerFolder "" 0 +2
      StrCpy $PlannerFolder "$INSTDIR"
  FunctionEnd
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
