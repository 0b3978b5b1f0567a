# find_package(ravlon): the client library as the target ravlon::client.
# ravlon is free software under the MIT licence (share/doc/ravlon/copyright).
include("${CMAKE_CURRENT_LIST_DIR}/ravlonTargets.cmake")
