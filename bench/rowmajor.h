// What the C client's row-major frames cost: ravlon_show_rgb, which
// transposes the image in tiles into the planes it keeps, against planes a
// program has ready and against a transposing loop along the rows, each
// into a loopback reader that only reads. Prints a table; 0, or -1 after a
// message on stderr.
#ifndef ROWMAJOR_H
#define ROWMAJOR_H

int rowmajor_figures(bool brief);

#endif
