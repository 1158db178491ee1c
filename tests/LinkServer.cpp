#include "LinkServer.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

// One line from `fd`, without its line feed; empty at the end.
std::string ReadLine(int fd) {
  std::string line;
  char c;
  while (read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

bool MakeCertificate(const std::string& folder) {
  const std::string command =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -keyout '" + folder +
      "/key.pem' -out '" + folder + "/cert.pem' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

}  // namespace

LinkServer::LinkServer(int hosts, const std::string& certificateFolder, double latency) {
  if (std::system("python3 -c '' >/dev/null 2>&1") != 0) {
    problem_ = "python3 is missing";
    return;
  }
  std::vector<std::string> words = {
      "python3",   std::string(FOLIOSCRIBE_SOURCE_DIR) + "/tests/link_server.py",
      "--hosts",   std::to_string(hosts),
      "--latency", std::to_string(latency)};
  if (!certificateFolder.empty()) {
    if (!MakeCertificate(certificateFolder)) {
      problem_ = "openssl could not make a certificate";
      return;
    }
    words.insert(words.end(), {"--cert", certificateFolder + "/cert.pem", "--key",
                               certificateFolder + "/key.pem"});
  }
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    close(in[1]);
    close(out[0]);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  input_ = in[1];
  output_ = out[0];
  std::istringstream ports(ReadLine(output_));
  ports >> port_ >> httpsPort_;
  if (port_ <= 0) problem_ = "the test server did not start";
}

LinkServer::~LinkServer() {
  if (input_ >= 0) close(input_);  // the server ends at the end of its input
  if (output_ >= 0) close(output_);
  if (pid_ > 0) waitpid(pid_, nullptr, 0);
}

std::string LinkServer::Http(int host) const {
  return "http://127.0.0." + std::to_string(host) + ":" + std::to_string(port_);
}

std::string LinkServer::Https() const { return "https://127.0.0.1:" + std::to_string(httpsPort_); }

std::string LinkServer::Ask(const std::string& command) {
  const std::string line = command + "\n";
  if (write(input_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return "";
  std::string answer;
  for (std::string got = ReadLine(output_); !got.empty() && got != "end"; got = ReadLine(output_))
    answer += got + "\n";
  return answer;
}

std::map<std::string, int> LinkServer::Requests() {
  std::map<std::string, int> requests;
  std::istringstream lines(Ask("stats"));
  for (std::string kind, host, method, path; lines >> kind;) {
    if (kind == "count" && lines >> host >> method >> path)
      lines >> requests[host + " " + method + " " + path];
    else if (kind == "max")
      lines >> host >> path;  // the count, read by MostUnderWay
  }
  return requests;
}

std::map<std::string, int> LinkServer::MostUnderWay() {
  std::map<std::string, int> most;
  std::istringstream lines(Ask("stats"));
  for (std::string kind, a, b, c, n; lines >> kind;) {
    if (kind == "max")
      lines >> a >> most[a];
    else
      lines >> a >> b >> c >> n;
  }
  return most;
}

void LinkServer::Reset() {
  const std::string line = "reset\n";
  if (write(input_, line.data(), line.size()) < 0) problem_ = "the test server went away";
}
