#pragma once
#include <optional>
#include <string>
#include <string_view>

// The authority of a web address ("user:pw@host:port"), cut as the URL standard cuts it.
struct WebAuthority {
  std::string_view userInfo;  // up to and with the last "@"; empty when there is none
  std::string_view host;      // between the user info and the port, as written
  std::string_view port;      // after the last ":" outside "[...]"; empty when there is none
};

WebAuthority SplitAuthority(std::string_view authority);

// `port` as written without leading zeros, empty for none or the default of `scheme`
// ("http" or "https", lower case); nullopt when it is not a number.
std::optional<std::string> NormalPort(std::string_view port, std::string_view scheme);
