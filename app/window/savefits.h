// Writing a frame's values to a FITS file through cfitsio: one image of
// the values' own type (16-bit unsigned ones with BZERO 32768, as FITS
// holds them), W x H, or W x H x 3 for R G B bytes in three planes. FITS
// counts rows from the bottom, the window from the top: the bottom row is
// written first, as ravlon-send reads FITS files.
#ifndef SAVEFITS_H
#define SAVEFITS_H

#include <cstddef>

class DataRows;

// Written as replace_file() writes. Returns 0, or -1 with the reason (the
// system's or cfitsio's) in why.
int write_fits(const char* file, const DataRows& d, char* why, size_t whylen);

#endif
