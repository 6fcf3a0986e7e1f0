#include "sim/http_server.h"

#include <dlfcn.h>

#include <filesystem>
#include <mutex>

namespace yx::sim {

HttpServiceMaker httpServiceMaker(std::string* why) {
  static std::once_flag once;
  static HttpServiceMaker maker = nullptr;
  static std::string failure;
  std::call_once(once, [] {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) {
      failure = "the simulator's HTTP module cannot be found: this program's own path is unreadable";
      return;
    }
    const auto path = exe.parent_path().parent_path() / "lib" / "yunxiu" / "libyx_sim_http.so";
    if (!std::filesystem::exists(path, ec)) {
      failure = "the simulator's HTTP module " + path.string() + " is missing";
      return;
    }
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
      const char* e = dlerror();
      failure = "cannot load " + path.string() + ": " + (e ? e : "unknown error");
      return;
    }
    maker = reinterpret_cast<HttpServiceMaker>(dlsym(lib, "yx_sim_make_http_service"));
    if (!maker) failure = path.string() + " is not the simulator's HTTP module";
  });
  if (!maker && why) *why = failure;
  return maker;
}

}  // namespace yx::sim
