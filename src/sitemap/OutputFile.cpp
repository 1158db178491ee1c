#include "sitemap/OutputFile.h"

#include "common/Maker.h"
#include "common/Paths.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementFile.h"

std::string SignatureText() {
  const std::string site = kMakerSite;
  return "<br><br><hr align=\"left\" color=\"#000000\" width=\"45%\" size=\"1\">"
         "<span style=\"font-size: 80%\">Generated with Folioscribe, </span>"
         "<a href=\"" + site + "\">" + site + "</a>";
}

std::string OutputPathAsWalked(const std::string& outputPath, const std::string& root) {
  const std::string folder = RealPath(ContainingFolder(outputPath));
  const std::string realRoot = RealPath(root);
  if (folder.empty() || realRoot.empty()) return outputPath;
  const std::string name = "/" + PathName(outputPath);
  if (folder == realRoot) return StripTrailingSlash(root) + name;
  const std::string inside = StripTrailingSlash(realRoot) + "/";
  if (!folder.starts_with(inside)) return outputPath;
  return StripTrailingSlash(root) + folder.substr(inside.size() - 1) + name;
}

bool WriteOutputFile(const std::string& path, const std::function<bool(TextSink&)>& produce,
                     MessageSink& messages) {
  ReplacementFile output;
  if (output.Open(path)) {
    // Checked before the rename: an unfinished text never takes the old output's place.
    if (!produce(output)) {
      output.Discard();
      return false;
    }
    if (output.Commit()) return true;
  }
  messages.ShowMessage("Couldn't create output file:" + path);
  return false;
}
