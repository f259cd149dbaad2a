# Writes OUTPUT, a C++ source defining nrw::detail::<NAME> with the text of INPUT.
# The text goes in raw string literals of at most 8000 bytes each (adjacent literals join), so no
# compiler limit on one literal is reached and nothing in the script needs escaping.
file(READ ${INPUT} sql)
get_filename_component(input_name ${INPUT} NAME)
set(delimiter "nrwsql")
string(FIND "${sql}" ")${delimiter}" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains \")${delimiter}\", the raw-literal delimiter")
endif()

string(LENGTH "${sql}" total)
set(chunks "")
set(offset 0)
while(offset LESS total)
  string(SUBSTRING "${sql}" ${offset} 8000 piece)
  string(APPEND chunks "    R\"${delimiter}(${piece})${delimiter}\"\n")
  math(EXPR offset "${offset} + 8000")
endwhile()
if(chunks STREQUAL "")
  set(chunks "    \"\"\n")
endif()

file(WRITE ${OUTPUT}.tmp
  "// Generated from schema/${input_name}; do not edit.\n"
  "#include <string_view>\n\n"
  "namespace nrw::detail {\n"
  "extern const std::string_view ${NAME};\n"
  "const std::string_view ${NAME} =\n${chunks};\n"
  "}  // namespace nrw::detail\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
