#include "links/OwnSite.h"

#include <algorithm>
#include <string>

#include "common/Text.h"
#include "common/WebAuthority.h"
#include "links/LinkResolution.h"

namespace {

// The parts of an http or https address that tell whose it is, as a browser reads
// them: any number of "/" behind the scheme, the authority up to "/", "?" or "#".
struct WebAddress {
  std::string_view scheme;     // "http" or "https", as written
  std::string_view authority;  // user, host and port as written
  std::string_view path;       // from the end of the authority on, query and fragment too
};

std::optional<WebAddress> ReadWebAddress(std::string_view url) {
  const size_t colon = url.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view scheme = url.substr(0, colon);
  if (!EqualsNoCase(scheme, "http") && !EqualsNoCase(scheme, "https")) return std::nullopt;
  std::string_view rest = url.substr(colon + 1);
  if (!rest.starts_with("//")) return std::nullopt;
  while (rest.starts_with('/')) rest.remove_prefix(1);
  const size_t end = std::min(rest.find_first_of("/?#"), rest.size());
  return WebAddress{scheme, rest.substr(0, end), rest.substr(end)};
}

// The host of an authority as a browser compares it: percent-decoded, ASCII letters
// in lower case; nullopt when the authority holds a user or password, or a port other than
// the scheme's own.
std::optional<std::string> HostOf(const WebAddress& address) {
  const WebAuthority parts = SplitAuthority(address.authority);
  if (!parts.userInfo.empty()) return std::nullopt;
  const std::optional<std::string> port = NormalPort(parts.port, ToLowerAscii(std::string(address.scheme)));
  if (!port || !port->empty()) return std::nullopt;
  return ToLowerAscii(PercentDecode(parts.host));
}

}  // namespace

std::optional<std::string_view> OwnSiteRest(std::string_view domain, std::string_view url) {
  // A domain may be written without its scheme.
  const std::string written = ReadWebAddress(domain) ? std::string(domain) : "http://" + std::string(domain);
  const std::optional<WebAddress> site = ReadWebAddress(written);
  const std::optional<WebAddress> address = ReadWebAddress(url);
  if (!site || !address || site->authority.empty()) return std::nullopt;
  const std::optional<std::string> siteHost = HostOf(*site);
  const std::optional<std::string> host = HostOf(*address);
  if (!siteHost || !host) return std::nullopt;
  const bool sameHost = *host == *siteHost || (siteHost->starts_with("www.") && *host == siteHost->substr(4));
  if (!sameHost) return std::nullopt;
  // The site's path, "/" when it has none, must stand at the front of the address's;
  // "http://host" and "http://host?q" have the path "/".
  std::string_view sitePath = site->path.substr(0, site->path.find_first_of("?#"));
  if (sitePath.empty()) sitePath = "/";
  const std::string_view path = address->path;
  if (!path.starts_with('/')) return sitePath == "/" ? std::optional(path) : std::nullopt;
  if (!path.starts_with(sitePath)) return std::nullopt;
  const std::string_view rest = path.substr(sitePath.size());
  // "/docs" is no folder of "/docsx".
  if (!sitePath.ends_with('/') && !rest.empty() && rest.find_first_of("/?#") != 0) return std::nullopt;
  return rest;
}
