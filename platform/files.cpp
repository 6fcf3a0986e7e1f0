#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace yx {

namespace {
std::mutex gDirMu;
std::string gDataDir;

std::string parentOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}
}  // namespace

std::string Files::defaultDataDirectory() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && *xdg == '/') return std::string(xdg) + "/yunxiu";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.local/share/yunxiu";
  return "/tmp/yunxiu";
}

std::string Files::dataDirectory() {
  std::lock_guard<std::mutex> lock(gDirMu);
  if (gDataDir.empty()) gDataDir = defaultDataDirectory();
  return gDataDir;
}

void Files::setDataDirectory(const std::string& dir) {
  std::lock_guard<std::mutex> lock(gDirMu);
  gDataDir = dir;
}

std::string Files::documentsDirectory() {
  std::string docs = join(dataDirectory(), "Documents");
  createDirectory(docs, true);
  return docs;
}

std::string Files::join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

namespace {
std::mutex gFailMu;
std::string gFailUnder;  // tests: writes below this folder fail

bool writesFailAt(const std::string& path) {
  std::lock_guard<std::mutex> lock(gFailMu);
  return !gFailUnder.empty() && path.compare(0, gFailUnder.size(), gFailUnder) == 0;
}

// A temporary name of an atomic write: "<name>.tmp.<pid>.<n>".
std::optional<long> temporaryOwner(const std::string& name) {
  auto at = name.rfind(".tmp.");
  if (at == std::string::npos || at == 0) return std::nullopt;
  const std::string rest = name.substr(at + 5);
  auto dot = rest.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == rest.size()) return std::nullopt;
  for (size_t i = 0; i < rest.size(); ++i)
    if (i != dot && (rest[i] < '0' || rest[i] > '9')) return std::nullopt;
  if (dot > 9) return std::nullopt;
  return std::stol(rest.substr(0, dot));
}
}  // namespace

void Files::failWritesUnder(const std::string& dir) {
  std::lock_guard<std::mutex> lock(gFailMu);
  gFailUnder = dir;
}

bool Files::writeFileAtomically(const std::string& path, std::string_view bytes, unsigned mode) {
  return writeStreamAtomically(path, [bytes](const ByteSink& write) { return write(bytes); }, mode);
}

bool Files::writeStreamAtomically(const std::string& path, const std::function<bool(const ByteSink&)>& produce,
                                  unsigned mode, bool durable) {
  static std::atomic<unsigned> counter{0};
  if (writesFailAt(path)) {
    errno = ENOSPC;
    return false;
  }
  std::string tmp = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777);
  if (fd < 0) return false;
  // The umask may have narrowed the mode; the caller's mode is what counts.
  ::fchmod(fd, mode & 07777);
  // Pieces are gathered into large writes.
  std::string buffer;
  constexpr size_t kBuffer = 256 * 1024;
  bool failed = false;
  ByteSink sink = [&](std::string_view piece) {
    if (failed) return false;
    if (buffer.size() + piece.size() > kBuffer) {
      if (!writeAll(fd, buffer) || !writeAll(fd, piece)) failed = true;
      buffer.clear();
      return !failed;
    }
    buffer.append(piece);
    return true;
  };
  bool ok = produce(sink) && !failed && writeAll(fd, buffer) && (!durable || ::fsync(fd) == 0);
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) {
    if (!durable) return true;
    // Make the rename itself durable.
    int dfd = ::open(parentOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
      ::fsync(dfd);
      ::close(dfd);
    }
    return true;
  }
  ::unlink(tmp.c_str());
  return false;
}

std::size_t Files::removeLeftoverTemporaries(const std::string& dir) {
  std::size_t removed = 0;
  std::error_code ec;
  const long self = ::getpid();
  for (auto it = std::filesystem::recursive_directory_iterator(
           dir, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    auto owner = temporaryOwner(it->path().filename().string());
    if (!owner) continue;
    // A file of another running process is still being written.
    if (*owner != self && *owner > 0 && (::kill(static_cast<pid_t>(*owner), 0) == 0 || errno == EPERM)) continue;
    std::error_code rm;
    if (std::filesystem::remove(it->path(), rm)) ++removed;
  }
  return removed;
}

std::optional<std::string> Files::readFile(const std::string& path, std::size_t maxBytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return std::nullopt;
  }
  std::string out(static_cast<size_t>(st.st_size), '\0');
  size_t have = 0;
  auto fail = [fd]() -> std::optional<std::string> {
    ::close(fd);
    return std::nullopt;
  };
  while (have < out.size()) {
    ssize_t n = ::read(fd, out.data() + have, out.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail();
    if (n == 0) break;
    have += static_cast<size_t>(n);
  }
  out.resize(have);
  // A file that grew while it was read: the rest, up to the limit.
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail();
    if (n == 0) break;
    if (out.size() + static_cast<size_t>(n) > maxBytes) return fail();
    out.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return out;
}

std::optional<Value> Files::readPlistFile(const std::string& path) {
  auto bytes = readFile(path, kMaxPlistBytes);
  if (!bytes) return std::nullopt;
  return Value::fromPlistBytes(*bytes);
}

bool Files::writePlistFile(const std::string& path, const Value& value, unsigned mode) {
  if (!value.isArray() && !value.isDictionary()) return false;
  std::string xml = value.toXmlPlist();
  if (xml.empty()) return false;
  return writeFileAtomically(path, xml, mode);
}

std::optional<Value> Files::readArrayFile(const std::string& path) {
  auto v = readPlistFile(path);
  if (!v || !v->isArray()) return std::nullopt;
  return v;
}

bool Files::writeArrayFile(const std::string& path, const Value& array) {
  if (!array.isArray()) return false;
  return writePlistFile(path, array);
}

bool Files::exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool Files::isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Files::removeItem(const std::string& path) {
  std::error_code ec;
  auto n = std::filesystem::remove_all(path, ec);
  return !ec && n > 0;
}

bool Files::createDirectory(const std::string& path, bool intermediate) {
  if (isDirectory(path)) return true;
  if (intermediate) {
    std::string parent = parentOf(path);
    if (parent != path && !isDirectory(parent) && !createDirectory(parent, true)) return false;
  }
  if (::mkdir(path.c_str(), 0700) == 0) return true;
  return errno == EEXIST && isDirectory(path);
}

std::vector<std::string> Files::listByExtension(const std::string& dir, const std::string& ext) {
  std::vector<std::string> out;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return out;
  std::string suffix = "." + ext;
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.size() <= suffix.size()) continue;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) continue;
    struct stat st {};
    if (::stat(join(dir, name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) out.push_back(name);
  }
  ::closedir(d);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace yx

namespace yx {

std::string Files::fileURL(const std::string& absolutePath) {
  static const char* hex = "0123456789ABCDEF";
  std::string out = "file://";
  for (unsigned char c : absolutePath) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~' || c == '/') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::optional<std::string> Files::pathFromFileURL(const std::string& url) {
  const std::string prefix = "file://";
  if (url.compare(0, prefix.size(), prefix) != 0 || url.size() <= prefix.size() || url[prefix.size()] != '/')
    return std::nullopt;
  std::string path;
  for (size_t i = prefix.size(); i < url.size(); ++i) {
    auto hexValue = [](char c) {
      return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    if (url[i] == '%' && i + 2 < url.size() && hexValue(url[i + 1]) >= 0 && hexValue(url[i + 2]) >= 0) {
      path += static_cast<char>(hexValue(url[i + 1]) * 16 + hexValue(url[i + 2]));
      i += 2;
    } else if (url[i] == '?' || url[i] == '#') {
      break;
    } else {
      path += url[i];
    }
  }
  if (path.find('\0') != std::string::npos) return std::nullopt;
  return path;
}

}  // namespace yx
