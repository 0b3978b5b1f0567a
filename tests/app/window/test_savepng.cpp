// The PNG writer's way with the file it replaces: its mode kept, a
// symbolic link kept and its target replaced, a name as long as the system
// allows.
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "window/savepng.h"

namespace {

int size_of(const std::string& path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_size) : -1;
}

}  // namespace

TEST(SavePng, ReplacedFilesKeepTheirModeLinksAndLongNames)
{
  char tmpl[] = "/tmp/ravlon-png-XXXXXX";
  const std::string d = mkdtemp(tmpl);
  const unsigned char grey[4] = {9, 9, 9, 9};
  const PngFrame f = {{grey, grey, grey}, 3, 4, 2, 2, nullptr};
  const std::string target = d + "/target.png", link = d + "/link.png";
  const std::string longest = d + "/" + std::string(NAME_MAX - 4, 'n') + ".png";
  std::ofstream(target) << "old";
  chmod(target.c_str(), 0600);
  ASSERT_EQ(symlink("target.png", link.c_str()), 0);
  struct Case {
    std::string file;   // written
    std::string holds;  // the file that must hold the picture
  } cases[] = {{target, target}, {link, target}, {longest, longest}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.file.substr(d.size()));
    char why[256] = "";
    ASSERT_EQ(write_png(k.file.c_str(), f, why, sizeof why), 0) << why;
    EXPECT_GT(size_of(k.holds), 3);
  }
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(system(("rm -rf " + d).c_str()), 0);
}
