#include "sitemap/Macros.h"

#include <algorithm>
#include <array>

#include "common/Paths.h"
#include "common/Text.h"
#include "common/TextBuffer.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"

namespace {

constexpr const char* kDateTimeFormat = "%Y-%m-%d %H:%M:%S";

std::string Repeat(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

std::string ParentName(const std::string& path) {
  return PathName(StripTrailingSlash(PathParent(path)));
}

bool IsImagePath(const std::string& path) {
  static const std::array<std::string, 6> kImageExtensions = {"ico", "bmp", "jpeg",
                                                              "jpg", "png", "gif"};
  return std::ranges::find(kImageExtensions, ToLowerAscii(PathExtension(path))) !=
         kImageExtensions.end();
}

std::string Thumbnail(const std::string& path, const std::string& source) {
  if (!IsImagePath(path)) return "";
  return "<img border=\"1\" src=\"" + source + "\" height=\"24\">";
}

// Replaces the first "%fDateTimeFormat(<format>)%" by `time` in that format. Without
// both parentheses behind it the text stays as written.
void ExpandDateTimeFormat(TextBuffer& buffer, int64_t time) {
  const int64_t start = buffer.FindFrom("%fDateTimeFormat", 0, true);
  if (start < 0) return;
  const int64_t open = buffer.FindFrom("(", start, false);
  const int64_t close = buffer.FindFrom(")", start, false);
  if (open < 0 || close < open) return;
  std::string& text = buffer.Text();
  const std::string format = text.substr(open + 1, close - open - 1);
  const size_t end = std::min(text.size(), static_cast<size_t>(close) + 2);
  text.replace(start, end - start, FormatLocalTime(time, format));
}

}  // namespace

std::string OutputFolder(const RunSettings& settings) {
  return ToSlashes(
      PathParent(GetOutputFilePath(settings.sStartDirectoryPath, settings.sOutPutFileName)), '/');
}

std::string ExpandMacros(const std::string& templateText, const std::string& itemPath, int depth,
                         const std::string& linkText, const RunSettings& settings) {
  return ExpandMacros(templateText, ItemAt(ToSlashes(itemPath, '/')), depth, linkText, settings);
}

std::string ExpandMacros(const std::string& templateText, const SiteItem& item, int depth,
                         const std::string& linkText, const RunSettings& settings) {
  const int64_t now = CurrentTime();
  const std::string& path = item.path;
  const int64_t itemTime = item.IsFolder() ? item.creationTime : item.lastWriteTime;
  auto relative = [&] { return GetRelativePath(OutputFolder(settings), path); };

  TextBuffer buffer(templateText);
  // A value is worked out only when its macro is in the text: most templates use few.
  auto replace = [&buffer](const char* name, const auto& value) {
    if (buffer.FindFrom(name, 0, true) >= 0) buffer.ReplaceAll(name, value(), true);
  };
  // The order matters: values inserted early are searched by the macros after them.
  replace("%indentation%", [&] { return Repeat("&nbsp", depth); });
  replace("%domain%", [&] { return settings.sDomain; });
  replace("%AutoHrefText%", [&] { return linkText; });
  replace("%fTitle%", [&] { return PathTitle(path); });
  replace("%fTitleWeb%", [&] { return WebEscape(PathTitle(path)); });
  replace("%fName%", [&] { return PathName(path); });
  replace("%fNameWeb%", [&] { return WebEscape(PathName(path)); });
  replace("%fRelativePath%", relative);
  replace("%fRelativePathWeb%", [&] { return WebEscape(relative()); });
  replace("%fAbsoluteLocalPath%", [&] { return path; });
  replace("%fAbsoluteLocalPathWeb%", [&] { return WebEscape(path); });
  replace("%fSizeb%", [&] { return std::to_string(item.size); });
  replace("%fDateTime%", [&] { return FormatLocalTime(itemTime, kDateTimeFormat); });
  ExpandDateTimeFormat(buffer, itemTime);
  replace("%fParentName%", [&] { return ParentName(path); });
  replace("%fParentNameWeb%", [&] { return WebEscape(ParentName(path)); });
  replace("%CurDate%", [&] { return FormatLocalTime(now, "%Y-%m-%d"); });
  replace("%CurTime%", [&] { return FormatLocalTime(now, "%H:%M:%S"); });
  replace("%ImageThumb%", [&] { return Thumbnail(path, relative()); });
  replace("%ImageThumbWeb%", [&] { return Thumbnail(path, WebEscape(relative())); });
  return buffer.Text();
}
