// The frames most recently received, whole and in their received format,
// within a memory budget (each frame costs its bytes and its own record):
// the oldest go first when a new one needs room, and a frame larger than
// the budget is not kept.
#ifndef HISTORY_H
#define HISTORY_H

#include <deque>
#include <memory>

#include "render/frame.h"

class History {
public:
  explicit History(long budget_bytes) : budget(budget_bytes), bytes(0) {}

  // The frame held by f, as the newest, its vectors shared with f; the
  // vectors of the oldest frames, which go to make room, become f's
  // spares. False when it is not kept (larger than the budget).
  bool keep(Frame& f);
  void set_budget(long budget_bytes) { budget = budget_bytes; }
  // The frames kept, the oldest first.
  int count() const { return static_cast<int>(frames.size()); }
  const Frame& at(int i) const { return *frames[static_cast<size_t>(i)]; }
  Frame& newest() { return *frames.back(); }
  void clear();

private:
  long budget;
  long bytes;  // the cost of the frames kept: their bytes and records
  std::deque<std::unique_ptr<Frame>> frames;
};

#endif
