#!/bin/sh
# Checks that no source folder includes a header of a layer above its own (headers
# included only inline would escape the linker), that only src/app sees the main
# window, and that nothing below the windows includes a widget header. The layers, from
# the bottom: card base | link reader pcsc | commands | view access ultralight files |
# workflows | windows app cli. Usage: check-layers.sh <src folder>
src=${1:-src}
status=0
rank() {
    case $1 in
    card | base) echo 1 ;;
    link | reader | pcsc) echo 2 ;;
    commands) echo 3 ;;
    view | access | ultralight | files) echo 4 ;;
    workflows) echo 5 ;;
    windows | app | cli) echo 6 ;;
    *) echo 0 ;;
    esac
}
for file in $(find "$src" -name '*.h' -o -name '*.cpp'); do
    folder=$(basename "$(dirname "$file")")
    own=$(rank "$folder")
    for included in $(sed -n 's/^#include "\([a-z]*\)\/.*/\1/p' "$file" | sort -u); do
        theirs=$(rank "$included")
        # Folders of one layer may use each other.
        if [ "$theirs" -gt "$own" ]; then
            echo "$file: includes $included/, a layer above $folder/"
            status=1
        # The models talk to no reader: they reach the card only through the commands.
        elif [ "$own" -eq 4 ] && [ "$theirs" -eq 2 ]; then
            echo "$file: includes $included/: the models reach a reader only through the commands"
            status=1
        fi
    done
    if [ "$own" -lt 6 ] && grep -Eq '^#include <Q(Widget|Dialog|MainWindow|CheckBox|ComboBox|PushButton|Label|LineEdit|TableView|AbstractItemView|StyledItemDelegate|MessageBox|FileDialog|Application)>' "$file"; then
        echo "$file: includes a widget header below the windows"
        status=1
    fi
    if [ "$folder" != app ] && grep -Eqw 'MainWindow|MainWindowUi' "$file" && [ "${file%.cpp}" != "$file" ]; then
        echo "$file: names the main window outside src/app"
        status=1
    fi
done
exit $status
