# Builds a Windows installer from WXS (tavrik.wxs) with wixl: the files of
# the folder STAGE, the icon ICON, product version VERSION, into OUT. The same
# files give the same bytes:
# - wixl dates the package by the clock, and the cabinet's entries by the
#   files' times in the local time zone: in time zone UTC, the clock is
#   stopped at TIME ("YYYY-MM-DD HH:MM:SS") by faketime, and copies of the
#   files carry TIME.
# - wixl writes a random package code (ignoring one in the source). Windows
#   Installer wants a new one for every different package, so it comes from
#   the package itself: a name-based UUID (SHA-1, in the UpgradeCode's
#   namespace) of the SHA-256 of the package as built with the code zeroed.
# - The product code, new for every version (a major upgrade), is a
#   name-based UUID of the version in the same namespace.
# cmake -D WXS= -D STAGE= -D ICON= -D VERSION= -D TIME= -D OUT=
#       -D WIXL= -D MSIBUILD= -D MSIINFO= -D FAKETIME= -P msi.cmake
cmake_minimum_required(VERSION 3.25)

file(STRINGS ${WXS} define REGEX "<\\?define UpgradeCode = \"[-0-9A-F]+\"")
if(NOT define MATCHES "\"([-0-9A-F]+)\"")
  message(FATAL_ERROR "${WXS}: no UpgradeCode defined")
endif()
set(upgrade_code ${CMAKE_MATCH_1})
string(UUID product_code NAMESPACE ${upgrade_code} NAME "ProductCode ${VERSION}" TYPE SHA1 UPPER)

# wixl finds files only by paths relative to the folder it runs in.
get_filename_component(work ${OUT}.work ABSOLUTE)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/files)
file(GLOB files ${STAGE}/*)
file(COPY ${files} DESTINATION ${work}/files)
file(COPY_FILE ${ICON} ${work}/icon.ico)
file(GLOB copies ${work}/files/* ${work}/icon.ico)
set(ENV{TZ} UTC)
execute_process(COMMAND touch -d "${TIME} UTC" ${copies} COMMAND_ERROR_IS_FATAL ANY)
set(stopped ${FAKETIME} -f "${TIME}")

execute_process(
  COMMAND ${stopped} ${WIXL} -a x64 -D Version=${VERSION} -D ProductCode=${product_code}
          -D Stage=files -D Icon=icon.ico -o package.msi ${WXS}
  WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)

# msibuild -s sets the subject, author, template and package code together:
# the first three as wixl wrote them.
execute_process(COMMAND ${MSIINFO} suminfo ${work}/package.msi
                OUTPUT_VARIABLE summary COMMAND_ERROR_IS_FATAL ANY)
foreach(field Subject Author Template)
  if(NOT summary MATCHES "\n${field}: ([^\n]*)\n")
    message(FATAL_ERROR "wixl wrote no ${field} into ${work}/package.msi")
  endif()
  set(${field} "${CMAKE_MATCH_1}") # the template ("x64;1033") is no list
endforeach()
function(set_package_code code)
  execute_process(
    COMMAND ${stopped} ${MSIBUILD} ${work}/package.msi -s "${Subject}" "${Author}" "${Template}" "{${code}}"
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

set_package_code(00000000-0000-0000-0000-000000000000)
file(SHA256 ${work}/package.msi digest)
string(UUID package_code NAMESPACE ${upgrade_code} NAME "Package ${digest}" TYPE SHA1 UPPER)
set_package_code(${package_code})

file(RENAME ${work}/package.msi ${OUT})
file(REMOVE_RECURSE ${work})
message(STATUS "${OUT}: ${VERSION}, product code {${product_code}}, package code {${package_code}}")
