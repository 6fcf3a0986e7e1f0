#include "platform/image.h"

#include "platform/resources.h"

#include <climits>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/files.h"

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Weverything"
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#endif
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#include <stb/stb_image.h>
#if defined(__clang__)
#pragma clang diagnostic pop
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#ifndef YX_RESOURCES_DIR
#define YX_RESOURCES_DIR "resources"
#endif

namespace yx {

namespace {
std::mutex gMu;
#ifdef YX_IMAGE_DIR
std::string gResourceDir = YX_IMAGE_DIR;  // the artwork built from resources/images
#else
std::string gResourceDir = std::string(YX_RESOURCES_DIR) + "/images";
#endif

// The header alone: enough for artwork built with the app.
bool readHeader(std::string_view bytes, int* w, int* h) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return false;
  int comp = 0;
  if (!stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), w, h, &comp))
    return false;
  return *w > 0 && *h > 0 && static_cast<long long>(*w) * *h <= Image::kMaxPixels;
}

bool decode(std::string_view bytes, int* w, int* h, long long maxPixels = Image::kMaxPixels) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return false;
  auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  int len = static_cast<int>(bytes.size());
  int comp = 0;
  // Read the header first so a hostile size is refused before allocating.
  if (!stbi_info_from_memory(data, len, w, h, &comp)) return false;
  if (*w <= 0 || *h <= 0 || static_cast<long long>(*w) * *h > maxPixels) return false;
  // Decode fully: a truncated or corrupt body is not a picture.
  stbi_uc* pixels = stbi_load_from_memory(data, len, w, h, &comp, 0);
  if (!pixels) return false;
  stbi_image_free(pixels);
  return true;
}

// Bundled pictures by path, with the file's size and time when decoded.
struct NamedEntry {
  std::uintmax_t size;
  std::filesystem::file_time_type stamp;
  Image image;
};
std::mutex gCacheMu;
std::map<std::string, NamedEntry> gNamedCache;

bool hasExtension(const std::string& name) {
  auto dot = name.find_last_of('.');
  return dot != std::string::npos && dot > 0 && dot + 1 < name.size();
}
}  // namespace

Image Image::fromBytes(std::string_view bytes) {
  Image img;
  int w = 0, h = 0;
  if (!decode(bytes, &w, &h)) return img;
  img.width_ = w;
  img.height_ = h;
  img.bytes_ = std::make_shared<const std::string>(bytes);
  return img;
}

Image Image::fromShared(std::shared_ptr<const std::string> bytes, long long maxPixels) {
  Image img;
  int w = 0, h = 0;
  if (!bytes || !decode(*bytes, &w, &h, maxPixels)) return img;
  img.width_ = w;
  img.height_ = h;
  img.bytes_ = std::move(bytes);
  return img;
}

const std::string& Image::bytes() const {
  static const std::string none;
  return bytes_ ? *bytes_ : none;
}

bool Image::isImage(std::string_view bytes) {
  int w = 0, h = 0;
  return decode(bytes, &w, &h);
}

namespace {

// The files a bundled picture's name may stand for, in the order they are
// tried: the deployment's resource folder first (it replaces bundled artwork
// of the same name), each with the name as given and with the usual
// extensions. None for a name that is not a plain name.
std::vector<std::string> candidatePaths(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
      name.find('\0') != std::string::npos || name == "." || name == "..")
    return {};
  std::vector<std::string> files;
  if (hasExtension(name)) files.push_back(name);
  for (const char* ext : {".png", ".jpg", ".jpeg", ".gif", "@2x.png"}) files.push_back(name + ext);
  std::vector<std::string> dirs;
  if (std::string over = resourceOverrideDirectory(); !over.empty()) dirs.push_back(over);
  dirs.push_back(Image::resourceDirectory());
  std::vector<std::string> paths;
  for (const auto& dir : dirs)
    for (const auto& f : files) paths.push_back(Files::join(dir, f));
  return paths;
}

}  // namespace

std::string Image::pathNamed(const std::string& name) {
  for (const auto& path : candidatePaths(name)) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return {};
}

Image Image::named(const std::string& name) {
  for (const auto& path : candidatePaths(name)) {
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    if (ec) continue;
    auto stamp = std::filesystem::last_write_time(path, ec);
    if (ec) continue;
    // A large picture (the campus map) is decoded once, not at every look.
    {
      std::lock_guard<std::mutex> lock(gCacheMu);
      auto it = gNamedCache.find(path);
      if (it != gNamedCache.end() && it->second.size == size && it->second.stamp == stamp) {
        if (it->second.image.empty()) continue;
        Image img = it->second.image;
        img.name_ = name;
        return img;
      }
    }
    auto bytes = Files::readFile(path);
    if (!bytes) continue;
    // Bundled artwork is made by the build: its header is enough (a picture
    // from a server is decoded whole by fromBytes()).
    Image img;
    int w = 0, h = 0;
    if (readHeader(*bytes, &w, &h)) {
      img.width_ = w;
      img.height_ = h;
      img.bytes_ = std::make_shared<const std::string>(std::move(*bytes));
    }
    if (!img.empty()) {
      img.name_ = name;
      img.path_ = path;
    }
    {
      std::lock_guard<std::mutex> lock(gCacheMu);
      if (gNamedCache.size() > 256) gNamedCache.clear();
      gNamedCache[path] = NamedEntry{size, stamp, img};
    }
    if (img.empty()) continue;
    return img;
  }
  return Image();
}

void Image::setResourceDirectory(const std::string& dir) {
  std::lock_guard<std::mutex> lock(gMu);
  gResourceDir = dir;
}

std::string Image::resourceDirectory() {
  std::lock_guard<std::mutex> lock(gMu);
  return gResourceDir;
}

}  // namespace yx
