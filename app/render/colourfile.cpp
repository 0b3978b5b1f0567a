#include "render/colourfile.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

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

// A blank line is 0 numbers, a good one 3; anything else is not a line of
// the file's kind.
int numbers_on(const std::string& line)
{
  std::istringstream in(line);
  int n = 0;
  double v;
  while (n < 3 && read_number(in >> std::ws, v))
    n++;
  if (n > 0 && n < 3)
    return -1;
  in >> std::ws;
  return in.eof() ? n : -1;
}

}  // namespace

int check_colour_file(const char* file)
{
  std::ifstream in(file);
  if (!in)
    return -1;
  std::string line;
  int number = 0;
  bool triple = false;
  while (std::getline(in, line)) {
    number++;
    const int n = numbers_on(line);
    if (n < 0)
      return number;
    triple = triple || n == 3;
  }
  if (in.bad())
    return -1;
  return triple ? 0 : COLOUR_FILE_EMPTY;
}

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
