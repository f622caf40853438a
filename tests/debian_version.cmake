# Fails unless the newest entry of CHANGELOG is for the upstream version
# VERSION, whatever the epoch and the Debian revision (1.00-1, 1:1.00-2,
# 1.00-1.1, 1.00-1~bpo12+1, 1.00-1ubuntu1, a binary rebuild's 1.00-1+b1).
# cmake -D CHANGELOG= -D VERSION= -P debian_version.cmake
file(STRINGS ${CHANGELOG} top LIMIT_COUNT 1)
if(NOT top MATCHES "^[a-z0-9][a-z0-9.+-]+ \\(([0-9]+:)?(.+)-[^-]+\\) ")
  message(FATAL_ERROR "${CHANGELOG}: no Debian version in its first line, '${top}'")
endif()
if(NOT CMAKE_MATCH_2 STREQUAL VERSION)
  message(FATAL_ERROR "${CHANGELOG} is for ${CMAKE_MATCH_2}, the source for ${VERSION}")
endif()
