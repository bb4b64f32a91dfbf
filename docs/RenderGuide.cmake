# cmake -DCMARK=... -DSOURCE=用户手册.md -DOUTPUT=用户手册.html -P RenderGuide.cmake
# Renders the user guide with cmark and wraps the result in a whole HTML page: UTF-8, a title,
# and a little style so that the pictures fit the browser's width.
execute_process(
  COMMAND ${CMARK} --to html ${SOURCE}
  OUTPUT_VARIABLE body
  RESULT_VARIABLE status
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmark failed on ${SOURCE}: ${errors}")
endif()
string(CONCAT page
  "<!DOCTYPE html>\n"
  "<html lang=\"zh-CN\">\n"
  "<head>\n"
  "<meta charset=\"utf-8\">\n"
  "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
  "<title>Quillmere 分班 用户手册</title>\n"
  "<style>\n"
  "body { max-width: 60em; margin: 2em auto; padding: 0 1em; line-height: 1.7;\n"
  "       font-family: \"Noto Sans CJK SC\", \"WenQuanYi Micro Hei\", \"Microsoft YaHei\", sans-serif; }\n"
  "img { max-width: 100%; border: 1px solid #bbb; }\n"
  "code, pre { background: #f3f3f3; }\n"
  "pre { padding: 0.6em; overflow-x: auto; }\n"
  "h2 { border-bottom: 1px solid #ccc; margin-top: 2em; }\n"
  "</style>\n"
  "</head>\n"
  "<body>\n"
  "${body}"
  "</body>\n"
  "</html>\n")
file(WRITE ${OUTPUT} "${page}")
