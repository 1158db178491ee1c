#include "platform/SharedLibrary.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <string>

namespace {

TEST(SharedLibrary, FindsWhatTheLibraryHasAndSaysWhyItFindsNothingElse) {
  SharedLibrary zlib;
  std::string problem;
  ASSERT_TRUE(zlib.Open("libz.so.1", problem)) << problem;
  const char* (*version)() = nullptr;
  ASSERT_TRUE(zlib.Find("zlibVersion", version, problem)) << problem;
  EXPECT_STREQ(version(), zlibVersion());  // the very library the program links

  int (*missing)() = &std::rand;
  EXPECT_FALSE(zlib.Find("noSuchFunction", missing, problem));
  EXPECT_EQ(missing, nullptr);
  EXPECT_NE(problem.find("noSuchFunction"), std::string::npos) << problem;

  SharedLibrary absent;
  EXPECT_FALSE(absent.Open("libfolioscribe-absent.so.1", problem));
  EXPECT_NE(problem.find("libfolioscribe-absent.so.1"), std::string::npos) << problem;
  // dlsym on no handle would search the whole program, where zlib is found.
  EXPECT_FALSE(absent.Find("zlibVersion", version, problem));
  EXPECT_EQ(version, nullptr);
}

}  // namespace
