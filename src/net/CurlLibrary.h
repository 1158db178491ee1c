#pragma once
#include <curl/curl.h>

#include <string>

#include "platform/SharedLibrary.h"

// The soname the program opens libcurl by; Debian's libcurl4 provides it.
inline constexpr const char* kCurlSoname = "libcurl.so.4";

// Every libcurl function the checker calls, each named once (without "curl_").
#define FOLIOSCRIBE_CURL_FUNCTIONS(F)                                                        \
  F(global_init) F(global_cleanup) F(easy_init) F(easy_cleanup) F(easy_setopt)               \
  F(easy_getinfo) F(easy_strerror) F(getdate) F(multi_init) F(multi_cleanup)                 \
  F(multi_add_handle) F(multi_remove_handle) F(multi_perform) F(multi_poll)                  \
  F(multi_info_read) F(multi_setopt) F(multi_wakeup) F(slist_append) F(slist_free_all)

// libcurl opened while the program runs, not linked: most runs request nothing, and its
// thirty libraries (TLS, Kerberos, LDAP ...) would cost every start. The headers still
// give the types and constants; calls go through the pointers, curl.easy_init().
class CurlLibrary {
 public:
  // Opens `soname` and finds every function; when that fails, Problem() says why and no
  // function may be called.
  explicit CurlLibrary(const std::string& soname);
  CurlLibrary(const CurlLibrary&) = delete;
  CurlLibrary& operator=(const CurlLibrary&) = delete;

  bool Loaded() const { return problem_.empty(); }
  const std::string& Problem() const { return problem_; }

#define FOLIOSCRIBE_CURL_POINTER(name) decltype(&curl_##name) name = nullptr;
  FOLIOSCRIBE_CURL_FUNCTIONS(FOLIOSCRIBE_CURL_POINTER)
#undef FOLIOSCRIBE_CURL_POINTER

 private:
  SharedLibrary library_;
  std::string problem_;
};

// The program's libcurl (kCurlSoname), opened by the first call and kept to the end.
const CurlLibrary& Curl();
