#pragma once
// Programs installed with `cmake --install` find their data beside them: a
// program in <prefix>/bin reads <prefix>/share/yunxiu/{resources,images,sim-data}.
// Programs run from the build tree keep the folders they were built with.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace yx {

// <prefix>/share/yunxiu when this program runs from <prefix>/bin and that
// folder exists; "" otherwise.
inline std::string installedShareDir() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return {};
  const std::filesystem::path share = exe.parent_path().parent_path() / "share" / "yunxiu";
  if (exe.parent_path().filename() != "bin" || !std::filesystem::is_directory(share / "resources", ec)) return {};
  return share.string();
}

// Points the simulator's bundled data at the installed copy (unless
// YX_SIM_DATA says otherwise); returns the share folder or "".
inline std::string useInstalledSimData() {
  std::string share = installedShareDir();
  if (!share.empty()) setenv("YX_SIM_DATA", (share + "/sim-data").c_str(), 0);
  return share;
}

}  // namespace yx
