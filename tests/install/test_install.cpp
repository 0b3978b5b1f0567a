// ravlon as `cmake --install` lays it out, staged under a DESTDIR and used
// from there as a user outside the tree uses it: C++ programs and the
// README's C example, built with find_package and with pkg-config, show
// their pictures in the installed ravlon, the installed ravlon-send runs,
// and every manual page renders without a warning.
#include "harness.h"

#include <fstream>
#include <sstream>

namespace {

const std::string stage = RAVLON_STAGE;
const std::string prefix = stage + RAVLON_PREFIX;

std::string contents(const std::string& path)
{
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Staging installs and compiles: done once for the whole suite.
int stage_status = -1;

class Installed : public RavlonTest {
protected:
  static void SetUpTestSuite()
  {
    stage_status = run(std::string(RAVLON_SOURCE_DIR) + "/tests/install/stage " + RAVLON_BUILD_DIR +
                       " " + stage);
  }
  void SetUp() override
  {
    ASSERT_EQ(stage_status, 0);
    rv.path = prefix + "/bin/ravlon";
  }

  // The outside program at path shows colour in the installed ravlon: the
  // upper half of the picture keeps it after the program has left.
  void shows(const std::string& program, uint32_t colour)
  {
    char hex[8];
    snprintf(hex, sizeof hex, "%06x", colour);
    EXPECT_EQ(
        run(stage + "/" + program + " " + host_name() + " " + std::to_string(port) + " " + hex), 0);
    EXPECT_TRUE(
        wait_until([&] { return xv->grab(img).count_not(colour, 0, 0, 256, 128) == 0; }, 5000))
        << program;
  }

  // The C example at path shows its 320 x 200 gradient: the upper half,
  // which stays after it has left, is exact.
  void shows_gradient(const std::string& program)
  {
    EXPECT_EQ(run(stage + "/" + program + " " + host_name() + " " + std::to_string(port)), 0);
    int bad = -1;
    wait_until(
        [&] {
          Window im = xv->find_descendant(wnd, 320, 200);
          Shot s = im ? xv->grab(im) : Shot();
          bad = s.w == 320 ? 0 : -1;
          for (int y = 0; y < 100 && bad >= 0; y++)
            for (int x = 0; x < 320; x++)
              bad += s.at(x, y) != static_cast<uint32_t>((x * 255 / 319) << 16 |
                                                         (y * 255 / 199) << 8 | 128);
          return bad == 0;
        },
        5000);
    EXPECT_EQ(bad, 0) << program;
  }
};

}  // namespace

TEST_F(Installed, OutsideProgramsShowTheirPicture)
{
  start();
  shows("outside-cmake/show_colour", 0xff0000);
  shows("outside-pc/show_colour", 0x00ff00);
  shows_gradient("outside-cmake-c/gradient");
  shows_gradient("outside-pc/gradient");
  quit();
  EXPECT_EQ(rv.err(), "");
}

TEST_F(Installed, SendRunsFromTheStagedTree)
{
  std::string out = stage + "/send-help.out";
  // PYTHONPATH empty and a foreign working directory: only the installed
  // package can serve it.
  EXPECT_EQ(
      run("cd / && env -u PYTHONPATH " + prefix + "/bin/ravlon-send --help >" + out + " 2>&1"), 0);
  EXPECT_EQ(contents(out).rfind("usage: ravlon-send", 0), 0u) << contents(out);
}

TEST_F(Installed, ManualPagesRenderWithoutWarnings)
{
  // The four pages and the links to ravlon_connect(3) of the C interface's
  // other functions, and only they, each render; their warnings, by name.
  std::string warnings = stage + "/man.warnings";
  EXPECT_EQ(run("cd " + prefix + "/share/man && test \"$(ls man1 | wc -l) $(ls man3 | wc -l)\" = " +
                "\"3 13\" && for p in man1/* man3/*; do " +
                "w=$(MANWIDTH=80 man --warnings -l $p 2>&1 >/dev/null) || exit 1; " +
                "[ -z \"$w\" ] || echo \"$p: $w\"; done >" + warnings),
            0);
  EXPECT_EQ(contents(warnings), "");
}
