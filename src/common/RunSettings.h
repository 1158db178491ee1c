#pragma once
#include <string>
#include <vector>

// Everything the user chooses for one generation run. The field names are the profile keys.
struct RunSettings {
  std::string sStartDirectoryPath;
  std::string sOutPutFileName;
  std::string sTemplateStart;
  std::string sTemplateFolder;
  std::string sTemplateFile;
  std::string sTemplateEnd;
  std::string sTemplateFolderLevelDown;
  std::string sTemplateFolderLevelUp;
  bool bIndexAsDirText = false;
  bool bUsePageRank = false;
  bool bExcludeNotLinked = false;
  std::string sDomain;
  bool bAddSignature = true;
  std::vector<std::string> aExclude;

  bool operator==(const RunSettings&) const = default;
};
