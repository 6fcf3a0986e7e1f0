#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/deployment.h"

namespace yx::sim {

struct SimOptions {
  int port = 0;             // 0: any free loopback port per kind; N: kind i listens on N + i
  std::string overlayDir;   // files here replace bundled files with the same path
  std::string logFile;      // request log, one JSON object per line (appended)
  std::string dataDir;      // empty: the bundled sample data
  // Campus time for date placeholders: a fixed moment (tests) or the system
  // clock, seen at this offset from UTC (the campus is at UTC+8).
  std::optional<std::chrono::system_clock::time_point> fixedNow;
  int utcOffsetMinutes = 8 * 60;
};

// How one path misbehaves. Zero / empty members leave that aspect alone.
struct Fault {
  int delayMs = 0;                  // wait this long before answering
  int status = 0;                   // answer with this status instead
  long long cutAfter = -1;          // close the connection after this many body bytes
  std::optional<std::string> body;  // serve these bytes instead
  std::string contentType;          // with this type (default: the usual one)
  std::string kind;                 // only for this server kind (empty: every kind)

  static Fault fromJson(const nlohmann::json& j);  // throws std::runtime_error
  nlohmann::json toJson() const;
};

// The bundled sample data folder (YX_SIM_DATA overrides the built-in path).
std::string bundledDataDir();

// Plays every outside server on loopback, one port per server kind.
class CampusSim {
public:
  explicit CampusSim(SimOptions o = {});
  ~CampusSim();
  CampusSim(const CampusSim&) = delete;
  CampusSim& operator=(const CampusSim&) = delete;

  // Binds every server and returns once they accept connections. Throws
  // std::runtime_error when a port cannot be bound or the data is unusable.
  void start();
  void stop();
  bool running() const;

  // Every base URL points at this simulator; the other values are demo values.
  Deployment deployment() const;
  int port(const std::string& kind) const;  // 0 before start()

  std::vector<nlohmann::json> requests() const;  // the request log so far
  void clearRequests();

  void setFault(const std::string& path, Fault f);
  void clearFaults();

  // The moment placeholders are filled with from now on (tests).
  void setNow(std::chrono::system_clock::time_point t);

  struct Impl;

private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace yx::sim
