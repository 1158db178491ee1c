#include "net/CurlLibrary.h"

#include <gtest/gtest.h>

#include "net/HttpChecker.h"

namespace {

TEST(CurlLibrary, LoadsTheProgramsLibcurlAndSaysWhyOthersFail) {
  // scripts/install-deps installs it: every function the checker calls must be there.
  const CurlLibrary& curl = Curl();
  ASSERT_TRUE(curl.Loaded()) << curl.Problem();
  EXPECT_EQ(HttpCheckProblem(), "");
  EXPECT_STREQ(curl.easy_strerror(CURLE_COULDNT_RESOLVE_HOST), "Couldn't resolve host name");

  const CurlLibrary absent("libfolioscribe-absent.so.1");
  EXPECT_FALSE(absent.Loaded());
  EXPECT_NE(absent.Problem().find("libfolioscribe-absent.so.1"), std::string::npos)
      << absent.Problem();

  // A library that is there but holds none of libcurl's functions.
  const CurlLibrary notCurl("libz.so.1");
  EXPECT_FALSE(notCurl.Loaded());
  EXPECT_NE(notCurl.Problem().find("curl_global_init"), std::string::npos) << notCurl.Problem();
}

TEST(HttpChecker, WithoutLibcurlEveryAddressFailsWithTheReason) {
  const CurlLibrary absent("libfolioscribe-absent.so.1");
  HttpChecker checker(HttpCheckOptions{}, absent);
  checker.Check("http://127.0.0.1:1/a");
  checker.Check("https://example.org/");
  checker.Check("http://127.0.0.1:1/a");
  const std::map<std::string, HttpOutcome> outcomes = checker.Finish();
  ASSERT_EQ(outcomes.size(), 2u);
  for (const auto& [url, outcome] : outcomes) {
    EXPECT_EQ(outcome.failure, HttpOutcome::Failure::kOther) << url;
    EXPECT_EQ(outcome.reason, absent.Problem()) << url;
    EXPECT_EQ(outcome.finalUrl, url);
    EXPECT_EQ(outcome.requests, 0) << url;
  }
}

}  // namespace
