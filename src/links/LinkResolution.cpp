#include "links/LinkResolution.h"

#include "common/Paths.h"
#include "common/Text.h"
#include "links/EXmlBasics.h"

namespace {

bool IsSchemeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '-' || c == '.';
}

// The address without "http://" or "https://" (any case); empty when it has neither.
std::string WithoutWebScheme(const std::string& url) {
  for (const char* scheme : {"http://", "https://"}) {
    if (StartsWithNoCase(url, scheme)) return url.substr(std::string(scheme).size());
  }
  return {};
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\n\r\f\v";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A browser asks for "a b.htm" when the link says "a%20b.htm".
std::string PercentDecode(const std::string& text) {
  std::string decoded;
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

// The file a local reference asks for: without fragment and query, decoded.
std::string LocalPart(const std::string& reference) {
  return PercentDecode(reference.substr(0, reference.find_first_of("#?")));
}

std::string ResolveLocal(const std::string& pagePath, const std::string& reference, const std::string& root) {
  const std::string local = LocalPart(reference);
  if (local.empty()) return pagePath;
  if (local[0] == '/') return ToSlashes(ResolvePath(ToSlashes(root), local.substr(1), false));
  return ToSlashes(ResolvePath(ToSlashes(PathParent(pagePath)), local, false));
}

}  // namespace

bool IsDefaultDocument(const std::string& path) {
  const std::string name = PathName(path);
  return XmlEqualsNoCase(name, "index.htm") || XmlEqualsNoCase(name, "index.html") ||
         XmlEqualsNoCase(name, "index.php");
}

std::string LinkScheme(const std::string& text) {
  if (text.size() <= 1) return text;
  if (text.starts_with("\\\\")) return "\\\\";
  const size_t colon = text.find(':');
  return colon == std::string::npos ? std::string() : text.substr(0, colon);
}

bool IsOutsideAddress(const std::string& text) {
  if (text.starts_with("//")) return true;
  const std::string scheme = LinkScheme(text);
  if (scheme.size() < 2 || scheme.size() == text.size()) return false;
  const bool letterFirst = (scheme[0] >= 'a' && scheme[0] <= 'z') || (scheme[0] >= 'A' && scheme[0] <= 'Z');
  for (char c : scheme) {
    if (!IsSchemeChar(c)) return false;
  }
  return letterFirst;
}

std::string UrlToLocalPath(const std::string& domain, const std::string& root, const std::string& url) {
  const std::string address = WithoutWebScheme(url);
  std::string site = WithoutWebScheme(domain);
  if (site.empty()) site = domain;
  if (address.empty() || site.empty()) return {};
  for (;;) {
    if (StartsWithNoCase(address, site))
      return ToSlashes(JoinPath(root, address.substr(site.size())));
    const int64_t www = FindNoCase(site, "www.");
    if (www < 0 || FindNoCase(address, "www.") >= 0) return {};
    site.erase(static_cast<size_t>(www), 4);
  }
}

ResolvedLink ResolveLink(const std::string& pagePath, const std::string& href, const RunContext& context) {
  ResolvedLink link;
  link.found = ToSlashes(Trim(href));
  const std::string mapped = UrlToLocalPath(context.domain, context.root, link.found);
  if (!mapped.empty()) {
    // An address of the own site is counted for its file but, as written, not read.
    link.found = mapped;
    link.target = LocalPart(mapped);
  } else if (IsOutsideAddress(link.found) || (IsAbsolutePath(link.found) && link.found[0] != '/')) {
    link.target = link.found;
  } else {
    link.target = ResolveLocal(pagePath, link.found, context.root);
    link.follow = true;
  }
  return link;
}

std::string LinkKey(const std::string& target) {
  if (IsOutsideAddress(target)) return target;
  return StripTrailingSlash(IsDefaultDocument(target) ? PathParent(target) : target);
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
