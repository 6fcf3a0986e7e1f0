#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

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
  // For requests whose credentials a service checks: "ok" or why it refused
  // them; logged as "check" when set.
  std::string check;
};

// What a service handler may use: the sample data and the campus clock.
class SimContext {
public:
  SimContext(const DataStore& data, CampusTime time) : data_(data), time_(time) {}
  // A data file of this kind's folder, placeholders filled for text files.
  std::optional<std::string> file(const std::string& folder, const std::string& path) const;
  // The answer to path P keyed on FIELD = value: the data file
  // "P@FIELD=<keyedValue(value)>" when there is one (placeholders filled as
  // for P), else nothing.
  std::optional<std::string> keyedFile(const std::string& folder, const std::string& path, const std::string& field,
                                       const std::string& value) const;
  // The accounts a service checks credentials against: "accounts.json" at
  // the top of the kind's folder, the overlay's file replacing the bundled one
  // whole. Nothing when absent or not valid JSON.
  std::optional<nlohmann::json> accounts(const std::string& folder) const;
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

// A path whose answer depends on who asks: the decoded value of `field`
// (query or form) picks the data file "<path>@<field>=<keyedValue(value)>"
// when it exists; otherwise the path's own file answers.
struct KeyField {
  std::string path;   // exact, decoded
  std::string field;
};

// One outside server kind: its deployment key, its data folder under the data
// directory, the methods it accepts (others get 405), its coded routes and its
// keyed paths. Paths without a coded route are answered from the data folder,
// else 404. Keyed files ("…@FIELD=VALUE") and "accounts.json" are never
// served by their own names.
struct ServiceKind {
  std::string key;
  std::string folder;
  std::vector<std::string> methods;
  std::vector<Route> routes;
  std::vector<KeyField> keyFields;
};

// Every server kind, in deployment order.
const std::vector<ServiceKind>& serviceKinds();

}  // namespace yx::sim
