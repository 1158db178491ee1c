#include "app/Folioscribe.h"

#include "log/TraceLog.h"

void StartLog(const std::string& programPath, LogDetail detail) {
  TraceLog::Instance().SetDetail(detail);
  if (programPath.rfind("\\\\", 0) == 0) TraceLog::Instance().SetLogOff(true);
}
