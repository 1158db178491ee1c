#include "net/CurlLibrary.h"

CurlLibrary::CurlLibrary(const std::string& soname) {
  if (!library_.Open(soname, problem_)) return;
  // Stops at the first function missing (a libcurl older than the checker needs).
#define FOLIOSCRIBE_CURL_FIND(name) \
  if (!library_.Find("curl_" #name, name, problem_)) return;
  FOLIOSCRIBE_CURL_FUNCTIONS(FOLIOSCRIBE_CURL_FIND)
#undef FOLIOSCRIBE_CURL_FIND
}

const CurlLibrary& Curl() {
  // Never unloaded: its TLS libraries may still have exit handlers to run.
  static const CurlLibrary* const curl = new CurlLibrary(kCurlSoname);
  return *curl;
}
