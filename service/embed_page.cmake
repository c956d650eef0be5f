# SPDX-License-Identifier: MIT
# Writes each file of FILES (separated by |) as a std::string_view constant named after it
# (index.html -> page_index_html) into OUTPUT, as hexadecimal bytes so that no
# character of the file needs escaping.
set(text "// Generated from the service's page files; edit those instead.\n#include <string_view>\n\nnamespace barquill::service::files {\n\n")
string(REPLACE "|" ";" files "${FILES}")
foreach(file ${files})
  get_filename_component(name ${file} NAME)
  string(MAKE_C_IDENTIFIER "page_${name}" symbol)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND text "constexpr char ${symbol}_bytes[] = {${bytes}};\n")
  string(APPEND text "extern const std::string_view ${symbol}{${symbol}_bytes, ${size}};\n\n")
endforeach()
string(APPEND text "}  // namespace barquill::service::files\n")
file(WRITE ${OUTPUT}.new "${text}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
