#include "app/Folioscribe.h"

#include "log/TraceLog.h"

void SwitchLogOffForNetworkStart(const std::string& programPath) {
  if (programPath.rfind("\\\\", 0) == 0) TraceLog::Instance().SetLogOff(true);
}
