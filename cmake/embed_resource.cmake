# Turns a binary file into a C++ source that defines its bytes, run at build time:
#   cmake -DINPUT=file -DOUTPUT=source.cpp -DSYMBOL=name -P embed_resource.cmake
# The source defines `const unsigned char SYMBOL[]` and `const unsigned long SYMBOL_size`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
# Sixteen bytes to a line keeps the generated file readable in a debugger.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# NOTE: CMake's regular expressions have no {n} counts, so the sixteen bytes are spelt out.
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line_of_bytes)
string(REGEX REPLACE "(${line_of_bytes})" "\\1\n    " bytes "${bytes}")
get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated at build time from ${input_name}; edit that file, not this one.\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const unsigned long ${SYMBOL}_size;\n"
  "const unsigned char ${SYMBOL}[] = {\n    ${bytes}\n};\n"
  "const unsigned long ${SYMBOL}_size = ${byte_count};\n")
# Only a changed source is rewritten, so an unchanged resource triggers no recompilation.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
