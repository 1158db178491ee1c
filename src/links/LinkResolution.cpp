#include "links/LinkResolution.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/Paths.h"
#include "common/Text.h"

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsSchemeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '-' || c == '.';
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

// A browser asks for "a b.htm" when the link says "a%20b.htm". An encoded "/" or zero byte
// stays encoded: decoded, it would split the segment or cut the path short.
void AppendDecoded(std::string_view segment, std::string& out) {
  const size_t escape = segment.find('%');
  out.append(segment.substr(0, escape));  // most segments hold no escape
  if (escape == std::string_view::npos) return;
  for (size_t i = escape; i < segment.size(); ++i) {
    const int high = segment[i] == '%' && i + 2 < segment.size() ? HexValue(segment[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(segment[i + 2]) : -1;
    const int byte = low >= 0 ? high * 16 + low : -1;
    if (byte > 0 && byte != '/') {
      out += static_cast<char>(byte);
      i += 2;
    } else {
      out += segment[i];
    }
  }
}

// 1 for ".", 2 for "..", a dot also spelled "%2e"; 0 for any other segment.
int DotSegment(std::string_view segment) {
  int dots = 0;
  while (!segment.empty()) {
    if (segment[0] == '.') segment.remove_prefix(1);
    else if (segment.size() >= 3 && EqualsNoCase(segment.substr(0, 3), "%2e")) segment.remove_prefix(3);
    else return 0;
    if (++dots > 2) return 0;
  }
  return dots;
}

// Runs of "/" behind the first `floor` characters become one.
void CollapseSlashes(std::string& path, size_t floor) {
  if (path.find("//", floor) == std::string::npos) return;
  const auto end = std::unique(path.begin() + static_cast<std::ptrdiff_t>(std::min(floor, path.size())),
                               path.end(), [](char a, char b) { return a == '/' && b == '/'; });
  path.erase(end, path.end());
}

// The part of a reference that names a file: before its "#fragment" or "?query".
std::string_view FilePart(std::string_view reference) {
  // find_if, not find_first_of, which calls memchr for every byte it passes.
  const auto end = std::ranges::find_if(reference, [](char c) { return c == '#' || c == '?'; });
  return reference.substr(0, static_cast<size_t>(end - reference.begin()));
}

// `base` (no trailing "/") followed by the segments of `reference`, as a browser joins
// them, into `out`: "." vanishes, ".." removes the last segment (an empty one too) but none
// of the first `floor` characters, a last segment "", "." or ".." names a folder. Each
// segment is decoded as a server does, and runs of "/" are one, so no spelling of a target
// escapes the visited check or climbs above the floor. True when a ".." stopped at the floor.
bool AppendSegments(std::string_view base, size_t floor, std::string_view reference, std::string& out) {
  out.assign(base);
  bool folder = false;
  bool stopped = false;
  for (;;) {
    const size_t slash = reference.find('/');
    const std::string_view segment = reference.substr(0, slash);
    const bool last = slash == std::string_view::npos;
    const int dots = DotSegment(segment);
    if (dots == 2 && out.size() > floor) out.resize(out.rfind('/'));
    else if (dots == 2) stopped = true;
    folder = last && (dots > 0 || segment.empty());
    if (dots == 0 && !folder) AppendDecoded(segment, out += '/');
    if (last) break;
    reference.remove_prefix(slash + 1);
  }
  if (folder && out.size() > floor) out += '/';
  CollapseSlashes(out, floor);
  if (out.empty()) out.push_back('/');
  return stopped;
}

// `href` as the URL parser of a browser takes it in: C0 controls and blanks around it
// trimmed, tabs and line breaks inside removed, every "\\" a "/".
void AssignAsBrowserReads(std::string_view href, std::string& out) {
  while (!href.empty() && static_cast<unsigned char>(href.front()) <= ' ') href.remove_prefix(1);
  while (!href.empty() && static_cast<unsigned char>(href.back()) <= ' ') href.remove_suffix(1);
  // Most hrefs hold nothing to drop or change.
  if (std::ranges::none_of(href, [](char c) { return c == '\t' || c == '\n' || c == '\r' || c == '\\'; })) {
    out.assign(href);
    return;
  }
  out.clear();
  for (char c : href) {
    if (c == '\t' || c == '\n' || c == '\r') continue;
    out += c == '\\' ? '/' : c;
  }
}

// True for a scheme as a browser knows it: a letter, letters, digits, "+", "-" or ".", ":".
bool HasUrlScheme(std::string_view text) {
  const size_t colon = text.find(':');
  return colon != std::string_view::npos && colon > 0 && IsLetter(text[0]) &&
         std::ranges::all_of(text.substr(0, colon), IsSchemeChar);
}

// Pages are served over http, so "http:x" and "http:/x" (no "//") are relative to them.
std::optional<std::string_view> SameSchemeRelative(std::string_view text) {
  constexpr std::string_view kScheme = "http:";
  if (text.size() < kScheme.size() || !EqualsNoCase(text.substr(0, kScheme.size()), kScheme))
    return std::nullopt;
  text.remove_prefix(kScheme.size());
  if (text.starts_with("//")) return std::nullopt;
  return text;
}

// Whether `path` is `folder` or lies below it.
bool IsInside(std::string_view path, std::string_view folder) {
  return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// What the plain reading of an href asks of each byte, looked up in one step.
enum HrefByte : uint8_t { kEndsFile = 1, kBarsPath = 2, kBarsRest = 4, kSlash = 8, kSlashOrDot = 16 };
constexpr std::array<uint8_t, 256> kHrefBytes = [] {
  std::array<uint8_t, 256> kinds{};
  for (size_t c = 0; c <= ' '; ++c) kinds[c] = kBarsPath;
  for (unsigned char c : {':', '%', '\\'}) kinds[c] = kBarsPath;
  for (unsigned char c : {'\t', '\n', '\r', '\\'}) kinds[c] |= kBarsRest;
  kinds['#'] = kinds['?'] = kEndsFile;
  kinds['/'] = kSlash | kSlashOrDot;
  kinds['.'] = kSlashOrDot;
  return kinds;
}();

// The length of the file part of `href` (before its "#fragment" or "?query") when a browser
// and a server take the href as written, else npos. Its path is no folder, holds no scheme,
// escape, blank, control or "\\", and no segment is empty or begins with a dot (no "." or
// ".."): such a path is joined to a folder as it stands. Its query or fragment holds no tab,
// line break or "\\" and ends in no blank or control. One look at each byte tells.
size_t PlainFileLength(std::string_view href) {
  const auto* const bytes = reinterpret_cast<const unsigned char*>(href.data());
  uint8_t seen = 0, pairs = 0, before = 0;
  size_t file = 0;
  for (; file < href.size(); ++file) {
    const uint8_t kind = kHrefBytes[bytes[file]];
    if ((kind & kEndsFile) != 0) break;
    seen |= kind;
    pairs |= before & (kind >> 1);  // a "/" followed by a "/" or a "."
    before = kind;
  }
  uint8_t rest = 0;
  for (size_t i = file; i < href.size(); ++i) rest |= kHrefBytes[bytes[i]];
  // A leading "/" starts at the root: what follows it is the path, its first byte checked as
  // one behind a "/".
  const bool plainPath = file == 0 || (href[0] != '.' && href[file - 1] != '/' && (seen & kBarsPath) == 0 &&
                                       (pairs & kSlash) == 0);
  const bool plainRest = file == href.size() || ((rest & kBarsRest) == 0 && bytes[href.size() - 1] > ' ');
  return plainPath && plainRest ? file : std::string_view::npos;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.ends_with('/')) path.pop_back();
  return path;
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
  return IsLetter(scheme[0]) && std::ranges::all_of(scheme, IsSchemeChar);
}

std::string UrlToLocalPath(const std::string& domain, const std::string& root, const std::string& url) {
  const std::optional<std::string_view> rest = OwnSiteRest(domain, url);
  return rest ? ToSlashes(JoinPath(root, std::string(*rest))) : std::string();
}

LinkResolver::LinkResolver(const std::string& pagePath, const RunContext& context)
    : context_(context),
      page_(pagePath),
      folder_(WithoutTrailingSlashes(PathParent(pagePath))),
      root_(WithoutTrailingSlashes(context.root)),
      // ".." stops at the site root, or at once for a page outside it.
      floor_(IsInside(folder_, root_) ? root_.size() : folder_.size()),
      plainJoin_(CanJoinPlainly()) {}

void LinkResolver::Resolve(std::string_view href, ResolvedLink& link) const {
  if (ResolvePlain(href, link)) return;
  AssignAsBrowserReads(href, link.found);
  link.follow = false;
  link.beyondRoot.clear();
  // A query or fragment may hold anything, "://" included; only the file part tells.
  const std::string_view file = FilePart(link.found);
  // "//host/x" takes the scheme of the page, served over http.
  const std::string schemeRelative = file.starts_with("//") ? "http:" + link.found : std::string();
  const std::string_view absolute = schemeRelative.empty() ? std::string_view(link.found) : schemeRelative;
  // Without a domain no address is the own site's.
  const std::optional<std::string_view> ownRest =
      context_.domain.empty() ? std::nullopt : OwnSiteRest(context_.domain, absolute);
  if (const std::optional<std::string_view> rest = ownRest) {
    // An address of the own site is counted for its file but, as written, not read.
    AppendSegments(root_, root_.size(), FilePart(*rest), link.target);
    link.found = ToSlashes(JoinPath(context_.root, std::string(*rest)));
  } else if (const std::optional<std::string_view> relative = SameSchemeRelative(link.found)) {
    ResolveLocal(*relative, link);
  } else if (file.starts_with("//") || HasUrlScheme(file)) {
    link.target = link.found;
  } else if (!outsideBase_.empty()) {
    link.target = outsideBase_ + link.found;
  } else {
    ResolveLocal(link.found, link);
  }
}

// Most hrefs of a site name the page itself ("#x"), or a page below its folder or below the
// root as a plain path: the target is then the page, or the two joined, without the steps
// Resolve takes for the others.
bool LinkResolver::ResolvePlain(std::string_view href, ResolvedLink& link) const {
  const size_t fileLength = plainJoin_ ? PlainFileLength(href) : std::string_view::npos;
  if (fileLength == std::string_view::npos) return false;
  const std::string_view file = href.substr(0, fileLength);
  const bool fromRoot = file.starts_with('/');
  link.found.assign(href);
  link.follow = true;
  link.beyondRoot.clear();
  if (file.empty()) link.target.assign(page_);
  else if (fromRoot) link.target.assign(root_).append(file);
  else link.target.assign(folder_).append(1, '/').append(file);
  return true;
}

void LinkResolver::SetBase(std::string_view href) {
  const ResolvedLink base = Resolve(href);
  if (!base.follow && !IsInside(base.target, root_)) {
    // Relative links then lead off the site, joined as written to the base's folder.
    if (HasUrlScheme(base.target)) outsideBase_ = base.target.substr(0, base.target.rfind('/') + 1);
    plainJoin_ = CanJoinPlainly();
    return;
  }
  page_ = base.target;
  // The site root is a folder though written without its "/".
  const bool folder = page_.ends_with('/') || page_ == root_;
  folder_ = WithoutTrailingSlashes(folder ? page_ : PathParent(page_));
  floor_ = IsInside(folder_, root_) ? root_.size() : folder_.size();
  plainJoin_ = CanJoinPlainly();
}

// Plain paths are joined as written where nothing else decides: no own domain, no base off
// the site, and no run of "/" in the page's folder that Resolve would make one.
bool LinkResolver::CanJoinPlainly() const {
  return context_.domain.empty() && outsideBase_.empty() && folder_.find("//", floor_) == std::string::npos;
}

void LinkResolver::ResolveLocal(std::string_view reference, ResolvedLink& link) const {
  const std::string_view file = FilePart(reference);
  link.follow = true;
  if (file.empty()) link.target = page_;
  // A browser cannot climb above the host root, so "/.." stays at the site root.
  else if (file[0] == '/') AppendSegments(root_, root_.size(), file.substr(1), link.target);
  // A page opened from the disk climbs on: the site check looks there too.
  else if (AppendSegments(folder_, floor_, file, link.target) && floor_ == root_.size() && root_.starts_with('/'))
    AppendSegments(folder_, 0, file, link.beyondRoot);
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

bool SamePath(std::string_view a, std::string_view b) {
  const auto trimmed = [](std::string_view path) {
    if (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.remove_suffix(1);
    if (!path.empty() && (path.front() == '/' || path.front() == '\\')) path.remove_prefix(1);
    return path;
  };
  const auto slash = [](char c) { return c == '\\' ? '/' : c; };
  return std::ranges::equal(trimmed(a), trimmed(b), [&](char x, char y) { return slash(x) == slash(y); });
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
  return prefix ? compared.starts_with(path) : SamePath(compared, path);
}

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  AppendDecoded(text, decoded);
  return decoded;
}
