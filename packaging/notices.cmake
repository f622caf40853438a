# NOTICES.txt of the Windows packages: INTRO (NOTICES-windows.txt), then
# Debian's copyright record of everything tavrik.exe holds besides Tavrik
# (Qt and Highway from their Debian sources DSCS, the MinGW-w64 and GCC
# runtimes from their installed packages), then the licence texts those
# records refer to.
# cmake -D INTRO= -D "DSCS=a.dsc;b.dsc" -D OUT= -P notices.cmake
cmake_minimum_required(VERSION 3.25)

file(READ ${INTRO} text)
foreach(dsc IN LISTS DSCS)
  get_filename_component(name ${dsc} NAME_WLE)
  get_filename_component(dir ${dsc} DIRECTORY)
  file(GLOB debian ${dir}/${name}.debian.tar.*)
  execute_process(COMMAND tar -xOf ${debian} debian/copyright
                  OUTPUT_VARIABLE record COMMAND_ERROR_IS_FATAL ANY)
  string(APPEND text "\n==== ${name}: Debian copyright record\n\n${record}")
endforeach()
foreach(package mingw-w64-x86-64-dev gcc-mingw-w64-base)
  execute_process(COMMAND dpkg-query -W -f=\${Version} ${package}
                  OUTPUT_VARIABLE version COMMAND_ERROR_IS_FATAL ANY)
  file(READ /usr/share/doc/${package}/copyright record)
  string(APPEND text "\n==== ${package} ${version}: Debian copyright record\n\n${record}")
endforeach()
foreach(licence LGPL-3 LGPL-2.1 Apache-2.0)
  file(READ /usr/share/common-licenses/${licence} body)
  string(APPEND text "\n==== The ${licence} licence\n\n${body}")
endforeach()
file(WRITE ${OUT} "${text}")
