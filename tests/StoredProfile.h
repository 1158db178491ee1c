#pragma once
#include <string>

// A profile file as the program stores it: templates entity-escaped, lines ended by CR LF.
// The defaults are the templates of a nested list with page titles as link texts.
struct StoredProfile {
  std::string startFolder;
  std::string outputName = "sitemap.html";
  std::string templateStart = "&lt;ul&gt;";
  std::string templateFolder = "&lt;li&gt;%fName%";
  std::string templateLevelDown = "&lt;ul&gt;";
  std::string templateLevelUp = "&lt;/ul&gt;";
  std::string templateFile =
      "&lt;li&gt;&lt;a href&#61;&quot;%fRelativePathWeb%&quot;&gt;%AutoHrefText%&lt;/a&gt;"
      "&lt;/li&gt;";
  std::string templateEnd = "&lt;/ul&gt;";
  std::string exclude;
  std::string domain;
  std::string usePageRank = "0";
  std::string addSignature = "0";

  std::string Text() const {
    const char* end = "\r\n";
    return std::string("[GENERAL]") + end + "sStartDirectoryPath=" + startFolder + end +
           "sOutPutFileName=" + outputName + end + "sTemplateStart=" + templateStart + end +
           "sTemplateFolder=" + templateFolder + end +
           "sTemplateFolderLevelDown=" + templateLevelDown + end +
           "sTemplateFolderLevelUp=" + templateLevelUp + end + "sTemplateFile=" + templateFile +
           end + "sTemplateEnd=" + templateEnd + end + "[MORE_OPTIONS]" + end +
           "Exclude=" + exclude + end + "sDomain=" + domain + end + "bIndexAsDirText=0" + end +
           "bExcludeNotLinked=0" + end + "bUsePageRank=" + usePageRank + end +
           "bAddSignature=" + addSignature + end;
  }
};
