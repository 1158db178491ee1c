#pragma once
#include <optional>
#include <string_view>

// Whether `url`, an absolute address, belongs to the own site `domain` (an http or https
// address, its scheme optional), as a browser compares them: the scheme http or https, the
// domain's host in any letter case and percent-encoding (also without the "www." the domain
// has), no user name or password, the port empty or the scheme's default, and a path below
// the domain's. Returns what follows the domain's path ("x/y.htm?q#f"; "" for
// "http://host"), a view into `url`; nullopt for an address of anything else.
std::optional<std::string_view> OwnSiteRest(std::string_view domain, std::string_view url);
