#pragma once
// For tests that work with files and other programs: a scratch folder, a
// whole file's bytes and mode, a property list as Python's plistlib reads
// it, and what a shell command printed.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace yx::test {

// A fresh folder under /tmp, removed with all it holds at the end of scope.
struct ScratchDir {
  std::string path;
  ScratchDir() {
    char tmpl[] = "/tmp/yx-test-XXXXXX";
    path = ::mkdtemp(tmpl);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string operator/(const std::string& rel) const { return path + "/" + rel; }
  // Writes `bytes` at `rel`, making the folders on the way.
  void write(const std::string& rel, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(*this / rel).parent_path());
    std::ofstream(*this / rel, std::ios::binary) << bytes;
  }
};

// A file's bytes; "" when it cannot be read.
inline std::string readWhole(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A file's permission bits; 0 when it is not there.
inline unsigned fileMode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

// How often `what` occurs in `text`.
inline size_t countOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

struct ShellResult {
  int status = -1;  // the exit status; -1 when the command did not exit by itself
  std::string out;  // its standard output
};

// Runs a /bin/sh command line and reads what it prints to standard output.
inline ShellResult runShell(const std::string& command) {
  ShellResult r;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  while (size_t n = std::fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
  const int s = ::pclose(p);
  r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return r;
}

// A property-list file as another program reads it: Python's plistlib, as
// JSON (nlohmann::ordered_json keeps the file's key order). Null when there
// is no file; a file plistlib refuses fails the test.
template <class Json = nlohmann::json>
Json plistJson(const std::string& path) {
  if (!std::filesystem::exists(path)) return nullptr;
  const std::string out = runShell("python3 -c 'import plistlib,json,sys\nprint(json.dumps(plistlib.load(open(sys.argv[1],"
                                   "\"rb\")),ensure_ascii=False,default=str))' '" + path + "' 2>&1").out;
  Json j = Json::parse(out, nullptr, false);
  EXPECT_FALSE(j.is_discarded()) << path << ": " << out;
  return j;
}

// The text's lines that are not empty.
inline std::vector<std::string> nonEmptyLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    if (!l.empty()) out.push_back(l);
  return out;
}

}  // namespace yx::test
