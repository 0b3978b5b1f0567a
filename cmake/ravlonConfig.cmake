# find_package(ravlon): the client library as the target ravlon::client.
include("${CMAKE_CURRENT_LIST_DIR}/ravlonTargets.cmake")
