#!/usr/bin/env bash
# The translation catalogs: extracts every text the window program shows
# (the layouts through wxrc, the code's _() and wxPLURAL) into
# po/brindlemarque.pot and merges it into po/de.po, po/en.po and po/fr.po.
# With --check, changes nothing and fails when a catalog lacks a text the
# sources show, or holds an untranslated or fuzzy one.
#   scripts/update-po.sh [--check]
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd resources && wxrc --gettext --output="$work/layouts.cpp" main_dialog.xrc char_select_dialog.xrc about_dialog.xrc)
xgettext --language=C++ --from-code=UTF-8 --keyword=_ --keyword=wxPLURAL:1,2 --keyword=N_ --keyword=R_ \
  --add-comments=TRANSLATORS: --package-name=Brindlemarque --msgid-bugs-address=maintainers@users.noreply.c-seed-5b7c9912.example --no-location --sort-output \
  -o "$work/brindlemarque.pot" text/reason_text.h app/*.cpp characters/dialogs/*.cpp gui/*.cpp engine/*.cpp engine/profile/*.cpp files/*.cpp files/*.h characters/*.cpp \
  po/system_texts.h "$work/layouts.cpp"
# Texts that read the same in German, French and English: the window's own
# labels kept in every language, names, and words both languages share.
SAME_EVERYWHERE='"&Bar" "&Quickbar" "&SC-File" "..." "Bar" "Bar %d" "Bars" "Brindlemarque Version %s" "Close" "GO" "Hotkey" "OK"
"Quickbar" "Quickbar %d" "Test out" "macro"'

# The msgids of `po` whose translation is the English text itself.
untranslated_copies() {
  msgcat --no-wrap "$1" | awk '
    /^msgid "/ { id = substr($0, 7); next }
    /^msgstr "/ { if (id != "\"\"" && substr($0, 8) == id) print id; next }
    /^msgstr\[0\] "/ { if (substr($0, 11) == id) print id; next }'
}

if [ "${1:-}" = --check ]; then
  status=0
  for po in po/*.po; do
    msgcmp --use-untranslated "$po" "$work/brindlemarque.pot" || { echo "$po lacks texts the sources show" >&2; status=1; }
    stats=$(LC_ALL=C msgfmt --check --statistics -o /dev/null "$po" 2>&1)
    case $stats in
      *untranslated*|*fuzzy*) echo "$po: $stats" >&2; status=1 ;;
    esac
    [ "$po" = po/en.po ] && continue
    while IFS= read -r id; do
      case $'\n'"${SAME_EVERYWHERE//\" \"/\"$'\n'\"}"$'\n' in
        *$'\n'"$id"$'\n'*) ;;
        *) echo "$po: left in English: $id" >&2; status=1 ;;
      esac
    done < <(untranslated_copies "$po")
  done
  exit $status
fi
cp "$work/brindlemarque.pot" po/brindlemarque.pot
for lang in de en fr; do
  if [ -f "po/$lang.po" ]; then
    msgmerge --quiet --update --backup=none --no-location --sort-output "po/$lang.po" po/brindlemarque.pot
  else
    msginit --no-translator --locale="$lang" --input=po/brindlemarque.pot --output-file="po/$lang.po"
  fi
done
