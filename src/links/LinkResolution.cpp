#include "links/LinkResolution.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "common/Paths.h"
#include "common/Text.h"

namespace {

bool IsSchemeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '-' || c == '.';
}

// The address without "http://" or "https://" (any case); empty when it has neither.
std::string_view WithoutWebScheme(std::string_view url) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (url.size() >= scheme.size() && EqualsNoCase(url.substr(0, scheme.size()), scheme))
      return url.substr(scheme.size());
  }
  return {};
}

std::string_view SchemeOf(std::string_view text) {
  if (text.size() <= 1) return text;
  if (text.starts_with("\\\\")) return "\\\\";
  const size_t colon = text.find(':');
  return colon == std::string_view::npos ? std::string_view() : text.substr(0, colon);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

// A browser asks for "a b.htm" when the link says "a%20b.htm".
std::string PercentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

namespace {

// The part of a reference that names a file: before its "#fragment" or "?query".
std::string_view FilePart(std::string_view reference) {
  // find_if, not find_first_of, which calls memchr for every byte it passes.
  const auto end = std::ranges::find_if(reference, [](char c) { return c == '#' || c == '?'; });
  return reference.substr(0, static_cast<size_t>(end - reference.begin()));
}

// `base` (no trailing "/") followed by the decoded segments of `reference`, as a browser
// joins them, into `out`: "." and empty segments vanish, ".." removes the last segment but
// none of the first `floor` characters, and a last segment "", "." or ".." names a folder.
// So no spelling of a target escapes the visited check or climbs above the floor.
void AppendSegments(std::string_view base, size_t floor, std::string_view reference, std::string& out) {
  const bool encoded = reference.find('%') != std::string_view::npos;
  const std::string decoded = encoded ? PercentDecode(reference) : std::string();  // seldom needed
  std::string_view rest = encoded ? std::string_view(decoded) : reference;
  out.assign(base);
  bool folder = false;
  for (;;) {
    const size_t slash = rest.find('/');
    const std::string_view segment = rest.substr(0, slash);
    folder = segment.empty() || segment == "." || segment == "..";
    if (segment == ".." && out.size() > floor) out.resize(out.rfind('/'));
    if (!folder) out.append("/").append(segment);
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  if (folder && out.size() > floor) out += '/';
  if (out.empty()) out = "/";
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.ends_with('/')) path.pop_back();
  return path;
}

// The address behind the own site `domain` (with or without "www." when the domain has
// it); nullopt for other addresses.
std::optional<std::string_view> OwnSiteRest(const std::string& domain, std::string_view url) {
  const std::string_view address = WithoutWebScheme(url);
  if (address.empty()) return std::nullopt;
  std::string site(WithoutWebScheme(domain));
  if (site.empty()) site = domain;
  if (site.empty()) return std::nullopt;
  for (;;) {
    if (address.size() >= site.size() && EqualsNoCase(address.substr(0, site.size()), site))
      return address.substr(site.size());
    const int64_t www = FindNoCase(site, "www.");
    if (www < 0 || FindNoCase(address, "www.") >= 0) return std::nullopt;
    site.erase(static_cast<size_t>(www), 4);
  }
}

}  // namespace

bool IsDefaultDocument(const std::string& path) {
  const std::string name = PathName(path);
  return std::ranges::any_of(kDefaultDocuments,
                             [&](const char* document) { return EqualsNoCase(name, document); });
}

bool IsPageExtension(const std::string& path) {
  const std::string extension = PathExtension(path);
  return EqualsNoCase(extension, "htm") || EqualsNoCase(extension, "html");
}

std::string LinkScheme(const std::string& text) { return std::string(SchemeOf(text)); }

bool IsOutsideAddress(std::string_view text) {
  if (text.starts_with("//")) return true;
  const std::string_view scheme = SchemeOf(text);
  if (scheme.size() < 2 || scheme.size() == text.size()) return false;
  const bool letterFirst = (scheme[0] >= 'a' && scheme[0] <= 'z') || (scheme[0] >= 'A' && scheme[0] <= 'Z');
  return letterFirst && std::ranges::all_of(scheme, IsSchemeChar);
}

std::string UrlToLocalPath(const std::string& domain, const std::string& root, const std::string& url) {
  const std::optional<std::string_view> rest = OwnSiteRest(domain, url);
  return rest ? ToSlashes(JoinPath(root, std::string(*rest))) : std::string();
}

LinkResolver::LinkResolver(const std::string& pagePath, const RunContext& context)
    : context_(context),
      page_(pagePath),
      folder_(WithoutTrailingSlashes(PathParent(pagePath))),
      folderFloor_(std::min(folder_.find('/'), folder_.size())),
      root_(WithoutTrailingSlashes(ToSlashes(context.root))) {}

void LinkResolver::Resolve(std::string_view href, ResolvedLink& link) const {
  link.found.assign(TrimView(href));
  std::ranges::replace(link.found, '\\', '/');
  link.follow = false;
  // A query or fragment may hold anything, "://" included; only the file part tells.
  const std::string_view file = FilePart(link.found);
  if (const std::optional<std::string_view> rest = OwnSiteRest(context_.domain, link.found)) {
    // An address of the own site is counted for its file but, as written, not read.
    AppendSegments(root_, root_.size(), FilePart(*rest), link.target);
    link.found = ToSlashes(JoinPath(context_.root, std::string(*rest)));
  } else if (IsOutsideAddress(file) || (IsAbsolutePath(file) && file[0] != '/')) {
    link.target = link.found;
  } else if (file.empty()) {
    link.target = page_;
    link.follow = true;
  } else {
    // A browser cannot climb above the host root, so "/.." stays at the site root.
    const bool fromRoot = file[0] == '/';
    if (fromRoot) AppendSegments(root_, root_.size(), file, link.target);
    else AppendSegments(folder_, folderFloor_, file, link.target);
    link.follow = true;
  }
}

ResolvedLink LinkResolver::Resolve(std::string_view href) const {
  ResolvedLink link;
  Resolve(href, link);
  return link;
}

ResolvedLink ResolveLink(const std::string& pagePath, const std::string& href, const RunContext& context) {
  return LinkResolver(pagePath, context).Resolve(href);
}

std::string LinkKey(const std::string& target) {
  if (IsOutsideAddress(target)) return target;
  // Two returns, not one conditional: that would copy the target before stripping it.
  if (IsDefaultDocument(target)) return StripTrailingSlash(PathParent(target));
  return StripTrailingSlash(target);
}

bool IsWebKey(const std::string& text) {
  return text.starts_with("http://") || text.starts_with("https://");
}

std::string LocalFormOfKey(const std::string& key, const std::string& root, const std::string& domain) {
  if (IsWebKey(key) && !domain.empty() && key.starts_with(domain))
    return JoinPath(root, key.substr(domain.size()));
  return key;
}

bool LinkMatches(const std::string& path, const std::string& key, const std::string& root,
                 const std::string& domain, bool prefix) {
  const bool pathWeb = IsWebKey(path);
  if (pathWeb && !IsWebKey(key)) return false;
  const std::string compared = pathWeb ? key : LocalFormOfKey(key, root, domain);
  return prefix ? compared.starts_with(path) : PathsEqual(compared, path);
}
