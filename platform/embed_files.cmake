# Writes a C++ source that holds the bytes of each input file as an array, so
# the button pictures travel inside the program. Run with -DOUTPUT=... and
# -DINPUTS=name=path|name=path.
set(text "// Generated at build time from the button pictures; do not edit.\n#include <cstdint>\n\nnamespace tabulon::platform::embedded {\n")
string(REPLACE "|" ";" INPUTS "${INPUTS}")
foreach(entry IN LISTS INPUTS)
  string(REPLACE "=" ";" parts "${entry}")
  list(GET parts 0 name)
  list(GET parts 1 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
  string(APPEND text "extern const std::uint8_t ${name}[${size}];\nconst std::uint8_t ${name}[${size}] = {\n    ${bytes}\n};\nextern const unsigned ${name}Size;\nconst unsigned ${name}Size = ${size};\n")
endforeach()
string(APPEND text "}  // namespace tabulon::platform::embedded\n")
file(WRITE "${OUTPUT}" "${text}")
