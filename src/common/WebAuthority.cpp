#include "common/WebAuthority.h"

WebAuthority SplitAuthority(std::string_view authority) {
  WebAuthority parts;
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    parts.userInfo = authority.substr(0, at + 1);
    authority.remove_prefix(at + 1);
  }
  // An IPv6 host's own colons stand inside its brackets.
  const size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
    parts.port = authority.substr(colon + 1);
    authority = authority.substr(0, colon);
  }
  parts.host = authority;
  return parts;
}

std::optional<std::string> NormalPort(std::string_view port, std::string_view scheme) {
  if (port.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  const size_t digit = port.find_first_not_of('0');
  const std::string value(digit == std::string_view::npos ? (port.empty() ? "" : "0")
                                                          : port.substr(digit));
  if (value.empty() || (scheme == "http" && value == "80") || (scheme == "https" && value == "443"))
    return "";
  return value;
}
