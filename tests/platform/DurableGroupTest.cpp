#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/DurableGroup.h"

using hovrak::TDurableGroup;

// The flushes of a group run on several threads; each failure stays with its own file.
TEST(DurableGroup, EachFileKeepsItsOwnFlushError) {
  TTempDir dir;
  std::vector<int> files;
  for (int i = 0; i < 20; ++i) {
    WriteWholeFile(dir / ("f" + std::to_string(i)), "x");
    files.push_back(::open((dir / ("f" + std::to_string(i))).c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_GE(files.back(), 0);
  }
  files[7] = -1;
  std::vector<int> errors;
  TDurableGroup::FsyncEach(files, errors);
  ASSERT_EQ(errors.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(errors[i], i == 7 ? EBADF : 0) << i;
  TDurableGroup::FlushFiles(files, errors);
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(errors[i], i == 7 ? EBADF : 0) << i;
  for (const int fd : files)
    if (fd >= 0) ::close(fd);
}
