#include "platform/resources.h"

#include <filesystem>
#include <mutex>

#ifndef YX_RESOURCES_DIR
#define YX_RESOURCES_DIR "resources"
#endif

namespace yx {

namespace {
std::mutex gMu;
std::string gOverride;
std::string gBundled = YX_RESOURCES_DIR;

bool safeRelative(const std::string& name) {
  if (name.empty() || name[0] == '/' || name.find('\\') != std::string::npos || name.find('\0') != std::string::npos)
    return false;
  for (const auto& part : std::filesystem::path(name))
    if (part == ".." || part == ".") return false;
  return true;
}
}  // namespace

std::string resourcePath(const std::string& fileName) {
  if (!safeRelative(fileName)) return {};
  std::lock_guard<std::mutex> lock(gMu);
  if (!gOverride.empty()) {
    std::error_code ec;
    std::filesystem::path candidate = std::filesystem::path(gOverride) / fileName;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate.string();
  }
  return (std::filesystem::path(gBundled) / fileName).string();
}

void setResourceOverrideDirectory(std::string dir) {
  std::lock_guard<std::mutex> lock(gMu);
  gOverride = std::move(dir);
}

std::string resourceOverrideDirectory() {
  std::lock_guard<std::mutex> lock(gMu);
  return gOverride;
}

void setBundledResourceDirectory(std::string dir) {
  std::lock_guard<std::mutex> lock(gMu);
  gBundled = std::move(dir);
}

std::string bundledResourceDirectory() {
  std::lock_guard<std::mutex> lock(gMu);
  return gBundled;
}

}  // namespace yx
