# Writes the notices of every library the Windows programs contain, each
# licence text read from where the build took the library:
#   cmake -DOUTPUT=... -DBOOST_COPYRIGHT=... -DQRCODEGEN_README=... -DNOBLE_LICENSE=... -DNOBLE_CIPHERS_LICENSE=...
#         -DMINGW_COPYRIGHT=... -DGCC_COPYRIGHT=... -P ThirdPartyNotices.cmake
# Boost's Debian copyright file lists every one of its files (2 MB): only its
# licence's text is taken. The others go whole.

function(read_required variable path)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "The licence of a library in the programs is missing: ${path}")
  endif()
  file(READ "${path}" text)
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# A Debian copyright file's licence paragraph: its text is indented by one
# space, and a line of a single "." stands for an empty one.
function(debian_licence variable copyright name)
  read_required(text "${copyright}")
  string(REGEX MATCH "\nLicense: ${name}\n( [^\n]*\n)+" paragraph "${text}")
  if(paragraph STREQUAL "")
    message(FATAL_ERROR "No text of the ${name} licence in ${copyright}")
  endif()
  string(REGEX REPLACE "^\nLicense: [^\n]*\n" "" paragraph "${paragraph}")
  string(REGEX REPLACE "(^|\n) \\.\n" "\\1\n" paragraph "${paragraph}")
  string(REGEX REPLACE "(^|\n) \\.\n" "\\1\n" paragraph "${paragraph}")
  string(REGEX REPLACE "(^|\n) " "\\1" paragraph "${paragraph}")
  set(${variable} "${paragraph}" PARENT_SCOPE)
endfunction()

# The section from a heading to the end of the file.
function(section_from variable path heading)
  read_required(text "${path}")
  string(FIND "${text}" "${heading}" at)
  if(at LESS 0)
    message(FATAL_ERROR "No \"${heading}\" in ${path}")
  endif()
  string(SUBSTRING "${text}" ${at} -1 text)
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

set(rule "================================================================================")
debian_licence(boost "${BOOST_COPYRIGHT}" "BSL-1.0")
section_from(qrcodegen "${QRCODEGEN_README}" "Copyright ")
read_required(noble "${NOBLE_LICENSE}")
read_required(noble_ciphers "${NOBLE_CIPHERS_LICENSE}")
read_required(mingw "${MINGW_COPYRIGHT}")
read_required(gcc "${GCC_COPYRIGHT}")

set(notices "Mirovanta 2: third-party notices

Mirovanta2.exe, Laser.exe, Open.exe and mirovanta-remote.exe contain the
libraries below, each under its own licence. Mirovanta 2 itself is under the
MIT licence in LICENSE.txt.

${rule}
Boost (Beast, Asio and the Boost libraries they use), in Mirovanta2.exe
Boost Software License 1.0
${rule}

${boost}
${rule}
QR Code generator library (C), by Project Nayuki, in Mirovanta2.exe
MIT License
${rule}

${qrcodegen}
${rule}
@noble/hashes, by Paul Miller, in the browser remote's page inside Mirovanta2.exe
MIT License
${rule}

${noble}
${rule}
@noble/ciphers, by Paul Miller, in the browser remote's page inside Mirovanta2.exe
MIT License
${rule}

${noble_ciphers}
${rule}
The mingw-w64 runtime (its C runtime start-up and winpthreads), in every program
as Debian's mingw-w64 package states its copyright and licences
${rule}

${mingw}
${rule}
The GCC runtime libraries (libgcc, libstdc++), in every program
GNU General Public License 3 with the GCC Runtime Library Exception,
as Debian's gcc-mingw-w64 package states them
${rule}

${gcc}")
# Read on Windows, where Notepad of older systems wants CR LF.
string(REPLACE "\r\n" "\n" notices "${notices}")
string(REPLACE "\n" "\r\n" notices "${notices}")
file(WRITE "${OUTPUT}" "${notices}")
