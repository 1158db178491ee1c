#include "sitemap/OutputFile.h"

#include "common/Maker.h"
#include "platform/FileSystem.h"

std::string SignatureText() {
  const std::string site = kMakerSite;
  return "<br><br><hr align=\"left\" color=\"#000000\" width=\"45%\" size=\"1\">"
         "<span style=\"font-size: 80%\">Generated with Folioscribe, </span>"
         "<a href=\"" + site + "\">" + site + "</a>";
}

bool WriteOutputFile(const std::string& path, const std::string& text, MessageSink& messages) {
  if (WriteFileAtomic(path, text)) return true;
  messages.ShowMessage("Couldn't create output file:" + path);
  return false;
}
