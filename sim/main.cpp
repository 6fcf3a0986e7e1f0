// campus-sim: plays every outside server of the campus app on loopback.
//   campus-sim [--port N] [--data DIR] [--log FILE]
// Prints "<kind> <base URL>" for every server kind, then serves until SIGINT
// or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/installed_layout.h"
#include "sim/campus_sim.h"

namespace {

int usage(const std::string& problem) {
  std::cerr << "campus-sim: " << problem << "\n"
            << "usage: campus-sim [--port N] [--data DIR] [--log FILE]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  yx::useInstalledSimData();
  yx::sim::SimOptions opt;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--port") {
      if (!value(v)) return usage("--port needs a number");
      char* end = nullptr;
      long port = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end || port < 1 || port + 15 > 65535) return usage("--port needs a number from 1 to 65520");
      opt.port = static_cast<int>(port);
    } else if (arg == "--data") {
      if (!value(opt.overlayDir)) return usage("--data needs a folder");
    } else if (arg == "--log") {
      if (!value(opt.logFile)) return usage("--log needs a file");
    } else if (arg == "--help" || arg == "-h") {
      usage("plays the campus servers on loopback");
      return 0;
    } else {
      return usage("unknown argument " + arg);
    }
  }

  // Block the stop signals before any server thread starts, so that only
  // sigwait below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  yx::sim::CampusSim sim(opt);
  try {
    sim.start();
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  const yx::Deployment d = sim.deployment();
  for (const std::string& kind : yx::Deployment::kinds()) {
    std::cout << kind << ' ' << d.baseUrls.at(kind) << '\n';
  }
  std::cout.flush();

  int sig = 0;
  sigwait(&stopSignals, &sig);
  sim.stop();
  return 0;
}
