#include "render/history.h"

#include <new>

namespace {

// A frame's share of the budget: its bytes and its own record, so that
// frames of few bytes or none (a client can send millions) fill it too.
long cost(const Frame& f)
{
  return f.held_bytes() + static_cast<long>(sizeof(Frame));
}

}  // namespace

bool History::keep(Frame& f)
{
  const long need = cost(f);
  if (!f.held() || need > budget)
    return false;
  while (!frames.empty() && bytes + need > budget) {
    bytes -= cost(*frames.front());
    f.take_spares(*frames.front());
    frames.pop_front();
  }
  std::unique_ptr<Frame> kept(new (std::nothrow) Frame(f.width, f.height));
  if (!kept)
    return false;
  kept->share_held(f);
  bytes += need;
  frames.push_back(std::move(kept));
  return true;
}

void History::clear()
{
  frames.clear();
  bytes = 0;
}
