// A client written outside ravlon's tree, against the installed header and
// library only: shows a 256 x 256 picture of one colour and leaves.
//
//   show_colour HOST PORT RRGGBB
#include <ravlon_client.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
  if (argc != 4) {
    fprintf(stderr, "Usage: show_colour host port rrggbb\n");
    return 2;
  }
  unsigned long rgb = strtoul(argv[3], nullptr, 16);
  const int side = 256;
  std::vector<unsigned char> r(side * side, (rgb >> 16) & 255);
  std::vector<unsigned char> g(side * side, (rgb >> 8) & 255);
  std::vector<unsigned char> b(side * side, rgb & 255);
  RavlonClient c;
  if (c.connect(argv[1], atoi(argv[2])) < 0 || c.resize(side, side) < 0 ||
      c.send_rgb(r.data(), g.data(), b.data(), side * side) < 0) {
    perror("show_colour");
    return 1;
  }
  c.close();
  return 0;
}
