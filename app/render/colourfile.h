// The colour file (the -c option): triples of numbers from 0.0 to 1.0, one
// colour of the colour-mapped frames' table each.
#ifndef COLOURFILE_H
#define COLOURFILE_H

#include <cstddef>

#include <X11/Xlib.h>

const int COLOUR_ENTRIES = 128;

// The file's first COLOUR_ENTRIES triples, as X colours; their number, -1
// (errno says why) when the file cannot be read.
int read_colour_file(const char* file, XColor colours[COLOUR_ENTRIES]);

// What check_colour_file says of a file that holds no triple.
const int COLOUR_FILE_EMPTY = -2;

// The file as a whole: 0 when every line is three numbers or blank and
// one is not blank; else the number of the first other line (from 1),
// COLOUR_FILE_EMPTY, or -1 when the file cannot be read.
int check_colour_file(const char* file);
// The line for a file that cannot be read, with the system's reason err.
void colour_file_message(char* out, size_t n, const char* file, int err);

#endif
