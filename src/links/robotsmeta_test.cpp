#include <gtest/gtest.h>

#include "links/RobotsMeta.h"

TEST(RobotsMeta, NoindexOrNoneForRobotsInTheHeadOnly) {
  const struct {
    const char* page;
    bool noindex;
  } cases[] = {
      {"<meta name=\"robots\" content=\"noindex\">", true},
      {"<head><META NAME='Robots' CONTENT='follow, NoIndex'></head>", true},
      {"<meta content=\"none\" name=googlebot>", true},
      {"<meta name=\"robots\" content=\"index,follow\">", false},
      {"<meta name=\"robots\" content=\"noindexer nofollow\">", false},
      {"<meta name=\"description\" content=\"noindex\">", false},
      {"<meta name=\"bingbot\" content=\"noindex\">", false},
      {"<meta name=\"robots\">", false},
      {"<head></head><body><meta name=\"robots\" content=\"noindex\">", false},
      {"<title>x</title><body><meta name=\"robots\" content=\"noindex\">", false},
      {"<meta charset=\"utf-8\"><meta name=\"robots\" content=\"nofollow noindex\">", true},
      {"", false},
      // Only a real meta element counts, never text that looks like one.
      {"<!-- <meta name=\"robots\" content=\"noindex\"> -->", false},
      {"<script>w('<meta name=\"robots\" content=\"noindex\">')</script>", false},
      {"<title><meta name=\"robots\" content=\"noindex\"></title>", false},
      {"<!-- <body> --><meta name=\"robots\" content=\"noindex\">", true},
      {"<meta name=\"robots\" content=\"&#110;oindex\">", true},
      {"<meta name=\"robots\" name=\"x\" content=\"noindex\">", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsMarkedNoindex(c.page), c.noindex) << c.page;
}
