# find_package(ravlon): the client libraries as the targets ravlon::ravlon
# (C, also for C++ and Fortran programs, needs no C++ run-time) and
# ravlon::client (the C++ class RavlonClient, on top of ravlon::ravlon).
# ravlon is free software under the MIT licence (share/doc/ravlon/copyright).
include("${CMAKE_CURRENT_LIST_DIR}/ravlonTargets.cmake")
