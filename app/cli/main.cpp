// yunxiu-cli: the text driver. Reads one command a line from --script FILE,
// a pipe or a terminal, and prints the screen after each.

#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <iostream>

#include "app/cli/background_fetch.h"
#include "app/cli/driver.h"
#include "app/cli/features.h"
#include "app/installed_layout.h"
#include "core/launch.h"
#include "platform/image.h"
#include "platform/resources.h"

int main(int argc, char** argv) {
  // Large buffers (a feed's body, its records, the simulator's answer) go
  // straight back to the system when freed, so a big feed does not leave the
  // process holding several times its size.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  if (std::string share = yx::useInstalledSimData(); !share.empty()) {
    yx::setBundledResourceDirectory(share + "/resources");
    yx::Image::setResourceDirectory(share + "/images");
  }
  yx::DriverOptions opts;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::cout << "usage: yunxiu-cli [options]\n"
                << "       yunxiu-cli --background-fetch [options]\n"
                << "       yunxiu-cli --install-refresh-timer [--no-enable] [options]\n"
                << "       yunxiu-cli --remove-refresh-timer [--no-enable]\n"
                << yx::driverUsage();
      return 0;
    }
  }
  yx::HeadlessRequest headless;
  if (auto err = yx::parseDriverOptions(argc, argv, opts, /*allowUnknown=*/true)) {
    std::cerr << "yunxiu-cli: " << *err << "\n";
    return 2;
  }
  if (auto err = yx::parseHeadlessRequest(opts, headless)) {
    std::cerr << "yunxiu-cli: " << *err << "\n";
    return 2;
  }
  switch (headless.command) {
    case yx::HeadlessCommand::BackgroundFetch: return yx::runBackgroundFetch(opts);
    case yx::HeadlessCommand::InstallTimer: return yx::installRefreshTimer(opts, headless.enable);
    case yx::HeadlessCommand::RemoveTimer: return yx::removeRefreshTimer(headless.enable);
    case yx::HeadlessCommand::None: break;
  }
  std::ifstream script;
  std::istream* in = &std::cin;
  if (!opts.scriptFile.empty()) {
    script.open(opts.scriptFile);
    if (!script) {
      std::cerr << "yunxiu-cli: cannot read the script " << opts.scriptFile << "\n";
      return 2;
    }
    in = &script;
  }
  const bool echo = in != &std::cin || !isatty(STDIN_FILENO);

  yx::registerAllFeatures();
  yx::Driver driver(opts);
  if (auto err = driver.start(yx::makeApplicationDelegate)) {
    std::cerr << "yunxiu-cli: " << *err << "\n";
    return 2;
  }
  driver.settle(0.15);  // a person sees the screen a moment after start
  std::cout << driver.dump() << std::flush;
  std::string line;
  while (!driver.quitRequested()) {
    if (!echo) std::cout << "> " << std::flush;
    if (!std::getline(*in, line)) break;
    if (echo && !yx::splitWords(line).empty()) std::cout << "> " << line << "\n";
    std::cout << driver.execute(line) << std::flush;
  }
  driver.stop();
  return 0;
}
