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

TEST(SitemapLimits, AnAddressPastTheLimitIsNamedByItsPath) {
  const std::string limit(2048, 'a');
  EXPECT_EQ(LongAddressWarning("<url><loc>" + limit + "</loc></url>", "/s/p.html"), "");
  EXPECT_EQ(LongAddressWarning("<loc>x</loc><loc>" + limit + "b</loc>", "/s/\x1bp.html"),
            "the address of /s/\x1bp.html is 2049 characters long; search engines take at most "
            "2,048 in a sitemap");
  EXPECT_EQ(LongAddressWarning("no address " + limit + limit, "/s/p.html"), "");
}

TEST(SitemapLimits, AnXmlMapOfAddressesNeedsTheSitesOwnAbsoluteDomain) {
  RunSettings settings;
  settings.sTemplateFile = "<loc>%fUrl|xml%</loc>";
  const struct {
    std::string domain, warning;
  } cases[] = {
      {"https://me.org/", ""},
      {"http://me.org", ""},
      {"HTTPS://me.org/docs/", ""},
      {"me.org/", "the domain \"me.org/\" is no absolute http(s)://host/ address, so the sitemap's "
                  "addresses are not either: set it with --domain or in the profile"},
      {"", "the domain \"\" is no absolute http(s)://host/ address, so the sitemap's addresses are "
           "not either: set it with --domain or in the profile"},
      {"https:///x", "the domain \"https:///x\" is no absolute http(s)://host/ address, so the "
                     "sitemap's addresses are not either: set it with --domain or in the profile"},
      {"ftp://me.org/", "the domain \"ftp://me.org/\" is no absolute http(s)://host/ address, so "
                        "the sitemap's addresses are not either: set it with --domain or in the profile"},
      {"https://www.example.org/", "the domain https://www.example.org/ is a placeholder: set the "
                                   "site's own with --domain or in the profile"},
      {"http://EXAMPLE.com", "the domain http://EXAMPLE.com is a placeholder: set the site's own "
                             "with --domain or in the profile"},
      {"https://docs.example.net/", "the domain https://docs.example.net/ is a placeholder: set "
                                    "the site's own with --domain or in the profile"},
      {"https://myexample.org/", ""},
  };
  for (const auto& c : cases) {
    settings.sDomain = c.domain;
    EXPECT_EQ(SitemapDomainWarning(settings, "/m/sitemap.xml"), c.warning) << c.domain;
    EXPECT_EQ(SitemapDomainWarning(settings, "/m/sitemap.html"), "") << c.domain;
  }
  settings.sDomain = "me.org/";
  settings.sTemplateFile = "<loc>%fName%</loc>";
  EXPECT_EQ(SitemapDomainWarning(settings, "/m/sitemap.xml"), "");
  settings.sTemplateEnd = "<!-- %domain% -->";
  EXPECT_NE(SitemapDomainWarning(settings, "/m/sitemap.xml"), "");
}
