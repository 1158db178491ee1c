#pragma once
#include <optional>
#include <string>
#include <string_view>

// An http or https address in the form a browser requests it: scheme and host in lower
// case, the default port dropped, "." and ".." segments resolved, characters that may not
// stand in a path or query percent-encoded (existing "%XX" stay as written), the fragment
// dropped, an empty path made "/". Nullopt for another scheme or an address without a host.
std::optional<std::string> NormaliseWebUrl(std::string_view url);

// The host of a normalised address ("example.org" of "https://example.org:8080/a").
std::string UrlHost(std::string_view url);
