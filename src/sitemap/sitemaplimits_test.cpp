#include <gtest/gtest.h>

#include "sitemap/SitemapLimits.h"

TEST(SitemapLimits, XmlOutputsPastALimitAreNamedWithIt) {
  EXPECT_EQ(SitemapLimitWarning("/m/site.xml", 50000, 52428800), "");
  EXPECT_EQ(SitemapLimitWarning("/m/site.html", 50001, 52428801), "");
  EXPECT_NE(SitemapLimitWarning("/m/site.xml.gz", 50001, 10), "");
  EXPECT_EQ(SitemapLimitWarning("/m/site.XML", 50001, 10),
            "The site map holds 50001 entries; search engines read at most 50,000 from one "
            "sitemap file.\nIt was written all the same: /m/site.XML");
  const std::string both = SitemapLimitWarning("/m/site.xml", 60000, 52428801);
  EXPECT_NE(both.find("60000 entries"), std::string::npos) << both;
  EXPECT_NE(both.find("52428801 bytes long; search engines read at most 52,428,800 bytes"),
            std::string::npos) << both;
}
