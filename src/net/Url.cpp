#include "net/Url.h"

#include <vector>

#include "common/Text.h"

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

// The port as written without leading zeros; empty for the scheme's default. Nullopt when
// it is not a number.
std::optional<std::string> NormalPort(std::string_view port, std::string_view scheme) {
  if (port.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  const size_t digit = port.find_first_not_of('0');
  const std::string value(digit == std::string_view::npos ? (port.empty() ? "" : "0")
                                                          : port.substr(digit));
  if (value.empty() || (scheme == "http" && value == "80") || (scheme == "https" && value == "443"))
    return "";
  return value;
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
  std::string_view authority = rest.substr(0, authorityEnd);
  rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);

  std::string userInfo;
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    userInfo = std::string(authority.substr(0, at + 1));
    authority.remove_prefix(at + 1);
  }
  const size_t portColon = authority.rfind(':');
  const bool hasPort = portColon != std::string_view::npos &&
                       authority.find(']', portColon) == std::string_view::npos;
  std::string_view host = hasPort ? authority.substr(0, portColon) : authority;
  if (host.empty()) return std::nullopt;
  const std::optional<std::string> port =
      hasPort ? NormalPort(authority.substr(portColon + 1), scheme) : "";
  if (!port) return std::nullopt;

  const size_t question = rest.find('?');
  std::string path(rest.substr(0, question));
  for (char& c : path) c = c == '\\' ? '/' : c;  // special schemes read "\" as "/"
  if (path.empty()) path = "/";
  std::string normal = scheme + "://" + userInfo + ToLowerAscii(std::string(host));
  if (!port->empty()) normal += ":" + *port;
  normal += Encoded(ResolvedPath(path), EncodedInPath);
  if (question != std::string_view::npos)
    normal += "?" + Encoded(rest.substr(question + 1), EncodedInQuery);
  return normal;
}

std::string UrlHost(std::string_view url) {
  const size_t start = url.find("://");
  if (start == std::string_view::npos) return "";
  std::string_view authority = url.substr(start + 3);
  authority = authority.substr(0, authority.find('/'));
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos)
    authority.remove_prefix(at + 1);
  const size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos)
    authority = authority.substr(0, colon);
  return std::string(authority);
}
