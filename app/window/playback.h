// Where the picture stands in the history: live, or paused on one of the
// frames kept while the stream goes on.
#ifndef PLAYBACK_H
#define PLAYBACK_H

struct Playback {
  bool paused;
  int at;        // the frame shown, an index into the history, while paused
  int kept;      // frames in the history
  long arrived;  // frames received since the pause
};

#endif
