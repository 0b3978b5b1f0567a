#include "render/history.h"

namespace {

// A frame's share of the budget: its bytes and its own record, so that
// frames of few bytes or none (a client can send millions) fill it too.
long cost(const Frame& f)
{
  return f.held_bytes() + static_cast<long>(sizeof(Frame));
}

}  // namespace

bool History::keep(const Frame& f)
{
  const long need = cost(f);
  if (!f.held() || need > budget)
    return false;
  // The oldest frame going makes room, and its vectors take the copy:
  // memory once had is not given back and faulted in again for each frame.
  std::unique_ptr<Frame> copy;
  while (!frames.empty() && bytes + need > budget) {
    bytes -= cost(*frames.front());
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
