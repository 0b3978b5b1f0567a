// The built-in colour maps, made at build time from the Python client's
// tables (python/ravlon/cmaps.py, by scripts/colour-tables), so that the
// server and the client show the same colours; in the order of the view
// request's map codes.
#ifndef COLOURTABLES_H
#define COLOURTABLES_H

const int COLOUR_MAPS = 6;

extern const char* const colour_map_names[COLOUR_MAPS];
extern const unsigned char colour_tables[COLOUR_MAPS][256][3];

#endif
