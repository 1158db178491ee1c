#pragma once
#include <sys/types.h>

#include <map>
#include <string>

// The test web server (tests/link_server.py) for as long as the object lives: HTTP on
// 127.0.0.1 to 127.0.0.N on one port and, when asked, HTTPS with a self-signed certificate
// on 127.0.0.1.
class LinkServer {
 public:
  // `certificateFolder`: where to make the certificate for HTTPS; empty for none.
  explicit LinkServer(int hosts, const std::string& certificateFolder = "", double latency = 0);
  ~LinkServer();
  LinkServer(const LinkServer&) = delete;
  LinkServer& operator=(const LinkServer&) = delete;

  // False when it could not start (python3 or openssl missing); `Problem` says why.
  bool Running() const { return port_ > 0; }
  const std::string& Problem() const { return problem_; }
  int Port() const { return port_; }
  // "http://127.0.0.HOST:PORT".
  std::string Http(int host) const;
  std::string Https() const;

  // Requests by "HOST METHOD PATH" since the start or the last Reset.
  std::map<std::string, int> Requests();
  // The most requests a host had under way at once, by host.
  std::map<std::string, int> MostUnderWay();
  void Reset();

 private:
  std::string Ask(const std::string& command);

  pid_t pid_ = -1;
  int input_ = -1;   // the server's standard input
  int output_ = -1;  // its standard output
  int port_ = 0;
  int httpsPort_ = 0;
  std::string problem_;
};
