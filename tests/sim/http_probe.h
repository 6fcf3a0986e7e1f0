#pragma once

#include <map>
#include <string>

namespace yx::sim::test {

// What came back on one connection, read until the server closed it.
struct RawReply {
  bool connected = false;
  int status = 0;
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;                            // bytes after the header block
  long long declaredLength = -1;               // Content-Length, if any
};

// Sends the request text as it is (no re-encoding) to 127.0.0.1:port and reads
// the whole reply.
RawReply rawExchange(int port, const std::string& requestText);
RawReply rawGet(int port, const std::string& target, const std::string& method = "GET");
RawReply rawPost(int port, const std::string& target, const std::string& body,
                 const std::string& contentType = "application/x-www-form-urlencoded");

}  // namespace yx::sim::test
