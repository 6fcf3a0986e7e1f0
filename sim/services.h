#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/sample_data.h"

namespace yx::sim {

// One request as the services see it.
struct SimRequest {
  std::string kind;      // deployment key of the server kind
  std::string method;
  std::string path;      // percent-decoded path
  std::string rawPath;   // path as received
  std::string rawQuery;  // query as received, without "?"
  std::map<std::string, std::string> query;  // decoded; a repeated field keeps its last value
  std::map<std::string, std::string> form;   // decoded fields of a form body
  std::string body;
  std::multimap<std::string, std::string> headers;
};

struct SimReply {
  int status = 200;
  std::string body;
  std::string contentType = "text/plain; charset=utf-8";
  std::multimap<std::string, std::string> headers;
};

// What a service handler may use: the sample data and the campus clock.
class SimContext {
public:
  SimContext(const DataStore& data, CampusTime time) : data_(data), time_(time) {}
  // A data file of this kind's folder, placeholders filled for text files.
  std::optional<std::string> file(const std::string& folder, const std::string& path) const;
  const DataStore& data() const { return data_; }
  const CampusTime& time() const { return time_; }

private:
  const DataStore& data_;
  CampusTime time_;
};

using RouteHandler = std::function<SimReply(const SimRequest&, const SimContext&)>;

// A path answered by code rather than by a data file.
struct Route {
  std::string method;  // "GET" also answers HEAD
  std::string path;    // exact, case-sensitive, decoded
  RouteHandler handler;
};

// One outside server kind: its deployment key, its data folder under the data
// directory, the methods it accepts (others get 405) and its coded routes.
// Paths without a coded route are answered from the data folder, else 404.
struct ServiceKind {
  std::string key;
  std::string folder;
  std::vector<std::string> methods;
  std::vector<Route> routes;
};

// Every server kind, in deployment order.
const std::vector<ServiceKind>& serviceKinds();

}  // namespace yx::sim
