# Writes the manual page of quillmere-cli from the program's own --help, so that the page lists
# exactly the commands the program has.
#   cmake -DCLI=path/to/quillmere-cli -DOUTPUT=quillmere-cli.1 -DVERSION=1.0.0 -DDATE=... -P cli-man-page.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CLI} --help failed: ${status}")
endif()

# Text as roff: backslashes doubled, hyphens as minus signs, a line that starts with a dot or an
# apostrophe protected, and a place to break the line after Chinese punctuation (runs of Chinese
# have no spaces to break at). Semicolons and brackets travel as placeholders through CMake's
# lists and come back here.
function(roff_text text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REPLACE "<semicolon>" ";" text "${text}")
  string(REPLACE "<open>" "[" text "${text}")
  string(REPLACE "<close>" "]" text "${text}")
  foreach(mark "、" "，" "；" "：" "。")
    string(REPLACE "${mark}" "${mark}\\:" text "${text}")
  endforeach()
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(commands "")
string(REPLACE ";" "<semicolon>" help "${help}")
string(REPLACE "[" "<open>" help "${help}")
string(REPLACE "]" "<close>" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(in_commands FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^  ([a-z][a-z0-9-]*)( (.*))?$")
    set(in_commands TRUE)
    roff_text("${CMAKE_MATCH_1}" name)
    roff_text("${CMAKE_MATCH_3}" usage)
    string(APPEND commands ".TP\n\\fB${name}\\fR ${usage}\n")
  elseif(in_commands AND line MATCHES "^      (.+)$")
    roff_text("${CMAKE_MATCH_1}" summary)
    string(APPEND commands "${summary}\n")
  endif()
endforeach()
if(commands STREQUAL "")
  message(FATAL_ERROR "no commands found in the output of ${CLI} --help")
endif()

file(WRITE ${OUTPUT} ".TH QUILLMERE\\-CLI 1 \"${DATE}\" \"Quillmere ${VERSION}\" \"User Commands\"
.SH NAME
quillmere\\-cli \\- divide an intake of students into even teaching classes (command line)
.SH SYNOPSIS
.B quillmere\\-cli
.RB [ \\-\\-db
.IR PATH ]
.I COMMAND
.RI [ ARGS ...]
.br
.B quillmere\\-cli
.BR \\-\\-version \" | \" \\-\\-help
.SH DESCRIPTION
.B quillmere\\-cli
does the work of the desktop program
.BR quillmere (1)
without a window, for scripts and batch jobs: it creates and lists projects,
imports students from .xls, .xlsx and .csv workbooks, changes the settings,
divides and re\\-divides, lists students, shows statistics and exports the result.
Its messages are in Chinese. It may work on a database while the desktop program
has it open.
.SH OPTIONS
.TP
.BI \\-\\-db \" PATH\"
Work on the database file
.IR PATH ,
created when missing; otherwise the file named by
.BR QUILLMERE_DB ,
otherwise
.IR ~/.local/share/quillmere/fb.db .
.TP
.B \\-\\-version
Print the program's version and exit.
.TP
.B \\-\\-help
Print the commands and exit.
.SH COMMANDS
.ad l
${commands}.ad b
.SH EXIT STATUS
0 when the command succeeded, 2 for a wrong command line, another value when the
command failed; the reason is printed on standard error.
.SH EXAMPLES
A whole division of the installed sample workbook in a database of its own:
.PP
.nf
.RS
quillmere\\-cli \\-\\-db /tmp/fb.db new \\-\\-memo demo \\-\\-classes 4
quillmere\\-cli \\-\\-db /tmp/fb.db import 1 /usr/share/quillmere/导入excel文件样例/分班数据输入样例.xls
quillmere\\-cli \\-\\-db /tmp/fb.db divide 1
quillmere\\-cli \\-\\-db /tmp/fb.db stats 1
quillmere\\-cli \\-\\-db /tmp/fb.db export 1 \\-\\-out result.xlsx
.RE
.fi
.SH SEE ALSO
.BR quillmere (1)
")
