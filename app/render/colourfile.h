// The colour file (the -c option): triples of numbers from 0.0 to 1.0, one
// colour of the colour-mapped frames' table each.
#ifndef COLOURFILE_H
#define COLOURFILE_H

#include <X11/Xlib.h>

const int COLOUR_ENTRIES = 128;

// The file's first COLOUR_ENTRIES triples, as X colours; their number, -1
// when the file cannot be read.
int read_colour_file(const char* file, XColor colours[COLOUR_ENTRIES]);

#endif
