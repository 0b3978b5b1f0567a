#include "render/colourfile.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

namespace {

unsigned short colour_component(double c)
{
  double p = c * 65535.0;
  if (p > 65535.0)
    return 65534;
  if (!(p >= 1.0))
    return 0;  // negative, or not a number
  return static_cast<unsigned short>(p);
}

// A number too large for a double still is a number: the stream fails on
// it but yields the largest value of its sign, which the component rule
// clamps. Only text that is not a number ends the table.
bool read_number(std::istream& in, double& v)
{
  v = 0;  // kept when the stream has ended
  if (in >> v)
    return true;
  if (std::fabs(v) != std::numeric_limits<double>::max())
    return false;
  in.clear();
  return true;
}

}  // namespace

int read_colour_file(const char* file, XColor colours[COLOUR_ENTRIES])
{
  std::ifstream in(file);
  if (!in)
    return -1;
  double r, g, b;
  int n = 0;
  while (n < COLOUR_ENTRIES && read_number(in, r) && read_number(in, g) && read_number(in, b)) {
    XColor& xc = colours[n++];
    xc.red = colour_component(r);
    xc.green = colour_component(g);
    xc.blue = colour_component(b);
    xc.flags = DoRed | DoGreen | DoBlue;
  }
  return n;
}

void colour_file_message(char* out, size_t n, const char* file, int err)
{
  snprintf(out, n, "Cannot read RGB color file %s: %s.", file, strerror(err));
}
