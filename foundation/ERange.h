// A closed interval of doubles.
#ifndef ERANGE_H
#define ERANGE_H

class ERange {
public:
  ERange() : lo(0), hi(0) {}
  ERange(double l, double h) : lo(l), hi(h) {}
  char is_inrange(double d) const { return lo <= d && d <= hi; }

  double lo;
  double hi;
};

#endif
