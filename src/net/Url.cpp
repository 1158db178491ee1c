#include "net/Url.h"

#include <vector>

#include "common/Text.h"
#include "common/WebAuthority.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEncoded(unsigned char c, std::string& out) {
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

// The bytes the standard's path set encodes: controls, blank, non-ASCII and " # < > ? ` { }.
bool EncodedInPath(unsigned char c) {
  return c <= 0x20 || c >= 0x7F ||
         std::string_view("\"#<>?`{}").find(static_cast<char>(c)) != std::string_view::npos;
}

// The special-query set: controls, blank, non-ASCII and " # < > '.
bool EncodedInQuery(unsigned char c) {
  return c <= 0x20 || c >= 0x7F ||
         std::string_view("\"#<>'").find(static_cast<char>(c)) != std::string_view::npos;
}

template <typename Predicate>
std::string Encoded(std::string_view text, Predicate encodes) {
  std::string out;
  for (const char c : text) {
    if (encodes(static_cast<unsigned char>(c)))
      AppendEncoded(static_cast<unsigned char>(c), out);
    else
      out += c;
  }
  return out;
}

bool IsSingleDot(std::string_view segment) {
  return segment == "." || EqualsNoCase(segment, "%2e");
}

bool IsDoubleDot(std::string_view segment) {
  return segment == ".." || EqualsNoCase(segment, ".%2e") || EqualsNoCase(segment, "%2e.") ||
         EqualsNoCase(segment, "%2e%2e");
}

// The path with its dot segments resolved, as the standard does: a last "." or ".."
// leaves the path ending in "/".
std::string ResolvedPath(std::string_view path) {
  std::vector<std::string_view> segments;
  size_t start = 1;  // past the leading "/"
  while (true) {
    const size_t slash = path.find('/', start);
    const std::string_view segment =
        path.substr(start, slash == std::string_view::npos ? slash : slash - start);
    const bool last = slash == std::string_view::npos;
    if (IsDoubleDot(segment)) {
      if (!segments.empty()) segments.pop_back();
      if (last) segments.emplace_back();
    } else if (IsSingleDot(segment)) {
      if (last) segments.emplace_back();
    } else {
      segments.push_back(segment);
    }
    if (last) break;
    start = slash + 1;
  }
  std::string out;
  for (const std::string_view segment : segments) out.append("/").append(segment);
  return out.empty() ? "/" : out;
}

}  // namespace

std::optional<std::string> NormaliseWebUrl(std::string_view url) {
  url = TrimView(url);
  const size_t colon = url.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string scheme = ToLowerAscii(std::string(url.substr(0, colon)));
  if (scheme != "http" && scheme != "https") return std::nullopt;
  std::string_view rest = url.substr(colon + 1);
  if (const size_t hash = rest.find('#'); hash != std::string_view::npos)
    rest = rest.substr(0, hash);
  while (!rest.empty() && (rest[0] == '/' || rest[0] == '\\')) rest.remove_prefix(1);
  const size_t authorityEnd = rest.find_first_of("/\\?");
  const std::string_view authority = rest.substr(0, authorityEnd);
  rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);

  const WebAuthority parts = SplitAuthority(authority);
  if (parts.host.empty()) return std::nullopt;
  const std::optional<std::string> port = NormalPort(parts.port, scheme);
  if (!port) return std::nullopt;

  const size_t question = rest.find('?');
  std::string path(rest.substr(0, question));
  for (char& c : path) c = c == '\\' ? '/' : c;  // special schemes read "\" as "/"
  if (path.empty()) path = "/";
  std::string normal = scheme + "://" + std::string(parts.userInfo) + ToLowerAscii(std::string(parts.host));
  if (!port->empty()) normal += ":" + *port;
  normal += Encoded(ResolvedPath(path), EncodedInPath);
  if (question != std::string_view::npos)
    normal += "?" + Encoded(rest.substr(question + 1), EncodedInQuery);
  return normal;
}

std::string UrlHost(std::string_view url) {
  const size_t start = url.find("://");
  if (start == std::string_view::npos) return "";
  const std::string_view authority = url.substr(start + 3);
  return std::string(SplitAuthority(authority.substr(0, authority.find('/'))).host);
}
