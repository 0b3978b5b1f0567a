// What the history of frames costs the stream: frames/s with the default
// budget beside frames/s with none. Prints a table; 0, or -1 after a
// message on stderr.
#ifndef LOOKBACK_H
#define LOOKBACK_H

int history_figures(bool brief);

#endif
