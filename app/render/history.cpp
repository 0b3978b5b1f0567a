#include "render/history.h"

bool History::keep(const Frame& f)
{
  const long need = f.held_bytes();
  if (!f.held() || need > budget)
    return false;
  // The oldest frame going makes room, and its vectors take the copy:
  // memory once had is not given back and faulted in again for each frame.
  std::unique_ptr<Frame> copy;
  while (!frames.empty() && bytes + need > budget) {
    bytes -= frames.front()->held_bytes();
    copy = std::move(frames.front());
    frames.pop_front();
  }
  if (!copy)
    copy.reset(new Frame(f.width, f.height));
  if (copy->copy_held(f) < 0)
    return false;
  bytes += need;
  frames.push_back(std::move(copy));
  return true;
}

void History::clear()
{
  frames.clear();
  bytes = 0;
}
