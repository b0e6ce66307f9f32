# Writes the C++ source that holds the browser remote's page, run as
#   cmake -DOUTPUT=page_files.cpp -DPAGE_DIR=dir -DGZIP=/bin/gzip -P EmbedPage.cmake
# Each file becomes a byte array served under its path, compressed with gzip
# (without a name or time, so that the same page gives the same bytes): the
# program carries a third of the page's size.
# Every file is UTF-8 text: its type says so.
set(files "/|index.html|text/html" "/app.css|app.css|text/css" "/app.js|app.js|text/javascript")
set(arrays "")
set(entries "")
set(index 0)
foreach(file IN LISTS files)
  string(REPLACE "|" ";" parts "${file}")
  list(GET parts 0 path)
  list(GET parts 1 name)
  list(GET parts 2 type)
  string(APPEND type "; charset=utf-8")
  execute_process(COMMAND ${GZIP} -9 -n -c ${PAGE_DIR}/${name} OUTPUT_FILE ${PAGE_DIR}/${name}.gz
                  RESULT_VARIABLE zipped)
  if(NOT zipped EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${name}")
  endif()
  file(READ ${PAGE_DIR}/${name}.gz hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char kFile${index}[] = {${bytes}};\n")
  string(APPEND entries
    "      {\"${path}\", \"${type}\", {reinterpret_cast<const char*>(kFile${index}), ${size}}, true},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.new "// Made by cmake/EmbedPage.cmake from the page's bundle: not to be edited.
#include \"browser/page_files.h\"

namespace browser {
namespace {
${arrays}}  // namespace

std::vector<PageFile> PageFiles() {
  return {
${entries}  };
}

}  // namespace browser
")
# Unchanged contents keep their time, so nothing that includes it is rebuilt.
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
