# Writes the template text into a C++ source as a raw string literal.
file(READ "${INPUT}" text)
string(FIND "${text}" ")KVDLG\"" bad)
if(NOT bad EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the literal terminator")
endif()
file(WRITE "${OUTPUT}.tmp" "namespace kv::ui {\nconst char* builtinTemplateText() {\n    return R\"KVDLG(${text})KVDLG\";\n}\n} // namespace kv::ui\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
