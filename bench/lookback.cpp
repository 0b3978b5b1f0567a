#include "lookback.h"

#include <cstdio>

#include "stream.h"

int history_figures(bool brief)
{
  struct Size {
    int w, h, frames;
  } sizes[] = {{512, 512, 3000}, {1920, 1080, brief ? 150 : 600}};
  // More frames than the budget holds: the figure is the steady state, in
  // which the oldest frame's memory takes the newest.
  printf("history: RGB frames/s streamed with the default budget (256 MB) and with none\n");
  printf("  size       frames   kept/s    none/s   cost\n");
  for (const Size& s : sizes) {
    StreamRun on, off;
    if (stream_frames(RAVLON_BINARY, s.w, s.h, true, s.frames, true, on) == -1 ||
        stream_frames(RAVLON_BINARY, s.w, s.h, true, s.frames, true, off, nullptr,
                      "ravlon.historyMemory: 0\n") == -1)
      return -1;
    printf("  %4dx%-4d  %6d %8.0f %9.0f %6.1f %%\n", s.w, s.h, s.frames, on.fps, off.fps,
           100.0 * (off.fps - on.fps) / off.fps);
  }
  return 0;
}
