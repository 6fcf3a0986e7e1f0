#include "app/gui/picture_cache.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QThreadPool>
#include <QTimer>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace yx::gui {

namespace {

constexpr char kMagic[8] = {'Y', 'X', 'P', 'I', 'X', '1', 0, 0};
constexpr std::size_t kLargest = std::size_t{1} << 20;  // bytes of pixels kept at most

// What a kept file begins with; the source's path and the pixels follow.
struct Header {
  char magic[8];
  std::uint64_t sourceSize;
  std::int64_t sourceModified;  // nanoseconds
  std::uint32_t width, height, format, pathLength;
};

struct Source {
  std::uint64_t size = 0;
  std::int64_t modified = 0;
};

bool statSource(const std::string& path, Source& out) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  out.size = static_cast<std::uint64_t>(st.st_size);
  out.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

// The kept file of a source: named by a hash of its path.
std::string keptPath(const std::string& sourcePath) {
  const std::string data = Files::dataDirectory();
  if (data.empty()) return {};
  std::uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : sourcePath) h = (h ^ c) * 1099511628211ull;
  char name[32];
  std::snprintf(name, sizeof name, "%016llx.px", static_cast<unsigned long long>(h));
  return Files::join(Files::join(Files::join(data, "Caches"), "pictures"), name);
}

bool keptFormat(std::uint32_t f) {
  return f == QImage::Format_ARGB32_Premultiplied || f == QImage::Format_RGB32;
}

}  // namespace

QImage readKeptPicture(const std::string& sourcePath) {
  Source src;
  const std::string kept = keptPath(sourcePath);
  if (kept.empty() || !statSource(sourcePath, src)) return {};
  auto bytes = Files::readFile(kept, sizeof(Header) + 4096 + kLargest);
  if (!bytes || bytes->size() < sizeof(Header)) return {};
  Header h;
  std::memcpy(&h, bytes->data(), sizeof h);
  if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 || h.sourceSize != src.size ||
      h.sourceModified != src.modified || !keptFormat(h.format) || h.width == 0 || h.height == 0 ||
      h.pathLength != sourcePath.size())
    return {};
  const std::size_t rowBytes = std::size_t{h.width} * 4;
  const std::size_t pixels = rowBytes * h.height;
  if (h.width > 4096 || h.height > 4096 || pixels > kLargest ||
      bytes->size() != sizeof h + h.pathLength + pixels ||
      bytes->compare(sizeof h, h.pathLength, sourcePath) != 0)
    return {};
  QImage img(static_cast<int>(h.width), static_cast<int>(h.height), static_cast<QImage::Format>(h.format));
  if (img.isNull()) return {};
  const char* from = bytes->data() + sizeof h + h.pathLength;
  for (std::uint32_t y = 0; y < h.height; ++y) std::memcpy(img.scanLine(static_cast<int>(y)), from + y * rowBytes, rowBytes);
  return img;
}

void keepPicture(const std::string& sourcePath, const QImage& picture) {
  Source src;
  const std::string kept = keptPath(sourcePath);
  if (kept.empty() || picture.isNull() || !keptFormat(picture.format()) || !statSource(sourcePath, src)) return;
  const std::size_t rowBytes = static_cast<std::size_t>(picture.width()) * 4;
  const std::size_t pixels = rowBytes * static_cast<std::size_t>(picture.height());
  if (pixels > kLargest || picture.width() > 4096 || picture.height() > 4096) return;
  Header h{};
  std::memcpy(h.magic, kMagic, sizeof kMagic);
  h.sourceSize = src.size;
  h.sourceModified = src.modified;
  h.width = static_cast<std::uint32_t>(picture.width());
  h.height = static_cast<std::uint32_t>(picture.height());
  h.format = static_cast<std::uint32_t>(picture.format());
  h.pathLength = static_cast<std::uint32_t>(sourcePath.size());
  std::string out(reinterpret_cast<const char*>(&h), sizeof h);
  out += sourcePath;
  out.reserve(out.size() + pixels);
  for (int y = 0; y < picture.height(); ++y) out.append(reinterpret_cast<const char*>(picture.constScanLine(y)), rowBytes);
  const std::string dir = kept.substr(0, kept.rfind('/'));
  if (!Files::isDirectory(dir) && !Files::createDirectory(dir, true)) return;
  // Not flushed to the disk: a kept picture lost to a power cut is decoded again.
  Files::writeStreamAtomically(kept, [&](const Files::ByteSink& sink) { return sink(out); }, 0600, false);
}

namespace {
std::mutex gSoonMu;
std::vector<std::pair<std::string, QImage>> gSoon;
}  // namespace

void keepWaitingPictures() {
  std::vector<std::pair<std::string, QImage>> batch;
  {
    std::lock_guard<std::mutex> lock(gSoonMu);
    batch.swap(gSoon);
  }
  for (const auto& [path, img] : batch) keepPicture(path, img);
}

void keepPictureSoon(const std::string& sourcePath, const QImage& picture) {
  bool first;
  {
    std::lock_guard<std::mutex> lock(gSoonMu);
    first = gSoon.empty();
    gSoon.emplace_back(sourcePath, picture);
  }
  auto* app = QCoreApplication::instance();
  if (!first || !app) return;
  QMetaObject::invokeMethod(app, [app] {
    QTimer::singleShot(1500, app, [] {
      QThreadPool::globalInstance()->start(keepWaitingPictures);
    });
  }, Qt::QueuedConnection);
}

}  // namespace yx::gui
