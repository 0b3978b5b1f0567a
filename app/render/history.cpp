#include "render/history.h"

bool History::keep(const Frame& f)
{
  const long need = f.held_bytes();
  if (!f.held() || need > budget)
    return false;
  while (!frames.empty() && bytes + need > budget) {
    bytes -= frames.front()->held_bytes();
    frames.pop_front();
  }
  std::unique_ptr<Frame> copy(new Frame(f.width, f.height));
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
