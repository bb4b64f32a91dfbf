#!/usr/bin/env bash
# include-layers.sh SRC
# Reads every #include of the sources under SRC (the folder src) and fails on one that reaches
# from a part into a part it may not use. The parts, lowest first, and what each may include
# besides itself (docs/architecture.md draws them):
#   common                  nothing
#   db                      common
#   intake (readers)        common
#   store                   db
#   intake (import, pinyin) db, store, intake's readers: ImportSave*, Pinyin* and ConstraintFile*
#                           (the files of groups) form their own library above store
#   engine                  db, store; inside it, lowest first:
#     engine/common/        subjects, the run's settings, the observer of a run (progress, cancel)
#     engine/groups/        engine/common
#     engine/balance/       engine/common
#     engine/division/      engine/common, engine/groups
#     engine/optimisation/  engine/common, engine/groups, engine/balance
#     the engine's top      (the run on a project: DivisionRun, RunStages) all of the engine
#   division/ and optimisation/ never include each other: the run at the top uses both.
#   reports                 db, store, engine, intake
#   printing                the core
#   cli                     the core, printing
#   gui                     the core, printing; inside it, see below
# Each part may include the parts below the ones it names, too. The core (src/core) includes no
# Qt header and nothing of printing, cli or gui; the command line includes no Qt header itself (it
# is built without Qt too).
# Inside the desktop program (src/gui):
#   widgets/                nothing of the program but widgets/
#   the shell's services    Workspace, AppSetup, MdiChildren, MessageConsole (at src/gui's top,
#                           used by every window): widgets/, shared/ and each other
#   shared/                 widgets/ and the shell's services
#   adjustments/            shared/, widgets/, the shell's services
#   the features            projects/ intake/ division/ statistics/ students/: their own folder,
#                           adjustments/, shared/, widgets/, the shell's services; never one another
#   the shell               (the rest of src/gui's top: the main window, start-up, menus) all of it
# An include without a folder ("CliArgs.h") is of the including file's own folder.
set -euo pipefail
src=${1:?usage: include-layers.sh SRC}
[ -d "$src/core" ] || { echo "FAILED: $src holds no core" >&2; exit 1; }

# Includes the rules above do not allow, each "file include" with the reason it stands. The
# windows that take the main window to call it back:
exceptions=(
  # The import preview tells the main window how many students were imported, for its status.
  "gui/intake/ImportPreviewWindow.cpp gui/MainWindow.h"
  # 重新分班 of the class statistics opens the result window through the main window.
  "gui/statistics/ClassStatisticsWindow.cpp gui/MainWindow.h"
)

engine_parts="engine/common engine/groups engine/balance engine/division engine/optimisation engine"
core="common db intake-readers store intake-import $engine_parts reports"
gui_base="$core printing gui/widgets gui/shared gui/services"
declare -A allowed=(
  [common]="common"
  [db]="common db"
  [intake-readers]="common intake-readers"
  [store]="common db store"
  [intake-import]="common db intake-readers store intake-import"
  [engine/common]="common db store engine/common"
  [engine/groups]="common db store engine/common engine/groups"
  [engine/balance]="common db store engine/common engine/balance"
  [engine/division]="common db store engine/common engine/groups engine/division"
  [engine/optimisation]="common db store engine/common engine/groups engine/balance engine/optimisation"
  [engine]="common db store $engine_parts"
  [reports]="$core"
  [printing]="$core printing"
  [cli]="$core printing cli"
  [gui/widgets]="$core printing gui/widgets"
  [gui/shared]="$gui_base"
  [gui/services]="$gui_base"
  [gui/adjustments]="$gui_base gui/adjustments"
)
for feature in projects intake division statistics students; do
  allowed[gui/$feature]="$gui_base gui/adjustments gui/$feature"
done
is_service() {
  case "$1" in Workspace | AppSetup | MdiChildren | MessageConsole) return 0 ;; esac
  return 1
}

# Sets part to the part of a path below src ("core/engine/Foo.cpp", "gui/division/Foo.h") or of
# an include ("engine/Foo.h", "gui/Foo.h"); empty when it is none of ours. No subshells: it runs
# for every include.
part_of() {
  local path=${1#core/} base
  base=${path##*/}
  base=${base%%.*}
  part=
  case "$path" in
    intake/ImportSave* | intake/Pinyin* | intake/ConstraintFile*) part=intake-import ;;
    intake/*) part=intake-readers ;;
    engine/*/*) part=${path%/*} ;;
    common/* | db/* | store/* | engine/* | reports/* | printing/* | cli/*) part=${path%%/*} ;;
    gui/*/*)
      path=${path#gui/}
      part=gui/${path%%/*}
      ;;
    gui/*) if is_service "$base"; then part=gui/services; else part=gui/shell; fi ;;
  esac
}

status=0
fail() {
  echo "FAILED: src/$1 includes $2: $3" >&2
  status=1
}
qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]*)'
quoted_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)"'
checked=0
last=
while IFS= read -r found; do
  file=${found%%:*}
  line=${found#*:}
  rel=${file#"$src"/}
  if [ "$rel" != "$last" ]; then
    last=$rel
    part_of "$rel"
    from=$part
  fi
  [ -n "$from" ] || continue
  checked=$((checked + 1))
  if [[ $line =~ $qt_include ]]; then
    case "$from" in
      gui/* | printing) ;;
      cli) fail "$rel" "<${BASH_REMATCH[1]}>" "the command line is built without Qt" ;;
      *) fail "$rel" "<${BASH_REMATCH[1]}>" "the core never includes Qt" ;;
    esac
    continue
  fi
  [[ $line =~ $quoted_include ]] || continue
  target=${BASH_REMATCH[1]}
  [[ $target == */* ]] || continue # the including file's own folder
  part_of "$target"
  to=$part
  [ -n "$to" ] || continue
  [ "$from" != "$to" ] || continue
  [ "$from" != gui/shell ] || [ "$to" = cli ] || continue
  for exception in "${exceptions[@]}"; do
    [ "$exception" != "$rel $target" ] || continue 2
  done
  if [[ " ${allowed[$from]:-} " != *" $to "* ]]; then
    fail "$rel" "\"$target\"" "$from may not use $to"
  fi
done < <(grep -rE '^[[:space:]]*#[[:space:]]*include' --include='*.h' --include='*.cpp' --include='*.h.in' "$src" | sort)

[ "$checked" -gt 0 ] || { echo "FAILED: no #include read under $src" >&2; exit 1; }
[ "$status" -eq 0 ] && echo "$checked includes read, none across the layers"
exit "$status"
