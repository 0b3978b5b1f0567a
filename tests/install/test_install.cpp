// ravlon as `cmake --install` lays it out, staged under a DESTDIR and used
// from there as a user outside the tree uses it: C++ programs built with
// find_package and with pkg-config show their picture in the installed
// ravlon, the installed ravlon-send runs, and every manual page renders
// without a warning.
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
};

}  // namespace

TEST_F(Installed, OutsideProgramsShowTheirPicture)
{
  start();
  shows("outside-cmake/show_colour", 0xff0000);
  shows("outside-pc/show_colour", 0x00ff00);
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
  // The three pages, and only they, each render; their warnings, by name.
  std::string warnings = stage + "/man.warnings";
  EXPECT_EQ(run("cd " + prefix + "/share/man/man1 && test $(ls | wc -l) = 3 && for p in *; do " +
                "w=$(MANWIDTH=80 man --warnings -l $p 2>&1 >/dev/null) || exit 1; " +
                "[ -z \"$w\" ] || echo \"$p: $w\"; done >" + warnings),
            0);
  EXPECT_EQ(contents(warnings), "");
}
