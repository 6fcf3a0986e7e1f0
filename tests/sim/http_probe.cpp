#include "http_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <sstream>

namespace yx::sim::test {

RawReply rawExchange(int port, const std::string& requestText) {
  RawReply r;
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (fd >= 0) ::close(fd);
    return r;
  }
  r.connected = true;
  for (size_t sent = 0; sent < requestText.size();) {
    ssize_t n = ::send(fd, requestText.data() + sent, requestText.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  std::string all;
  char buf[16384];
  for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) all.append(buf, static_cast<size_t>(n));
  ::close(fd);

  const size_t headEnd = all.find("\r\n\r\n");
  if (headEnd == std::string::npos) return r;
  r.body = all.substr(headEnd + 4);
  std::istringstream head(all.substr(0, headEnd));
  std::string line;
  std::getline(head, line);
  if (line.size() >= 12) r.status = std::atoi(line.c_str() + 9);
  while (std::getline(head, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const size_t v = line.find_first_not_of(' ', colon + 1);
    r.headers[name] = v == std::string::npos ? "" : line.substr(v);
  }
  if (auto it = r.headers.find("content-length"); it != r.headers.end()) r.declaredLength = std::stoll(it->second);
  return r;
}

RawReply rawGet(int port, const std::string& target, const std::string& method) {
  return rawExchange(port, method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

RawReply rawPost(int port, const std::string& target, const std::string& body,
                 const std::string& contentType) {
  std::string req = "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
  if (!contentType.empty()) req += "Content-Type: " + contentType + "\r\n";
  return rawExchange(port, req + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

}  // namespace yx::sim::test
