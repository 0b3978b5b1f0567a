// Writing a frame's values to a numpy .npy file, format version 1.0:
// H x W values of their own type and byte order, or H x W x 3 bytes.
#ifndef SAVENPY_H
#define SAVENPY_H

#include <cstddef>

class DataRows;

// Written as replace_file() writes. Returns 0, or -1 with the reason in why.
int write_npy(const char* file, const DataRows& d, char* why, size_t whylen);

#endif
