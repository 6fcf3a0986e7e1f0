#include "library/library.h"

#include "library/borrowReViewController.h"
#include "library/libArriveViewController.h"
#include "library/libLoginViewController.h"
#include "library/libOpenTimeViewController.h"
#include "library/libTimeDetailViewController.h"
#include "library/libTimeViewController.h"
#include "library/libViewController.h"
#include "library/libWebViewController.h"
#include "library/newSourceViewController.h"
#include "library/newSourceWebViewController.h"
#include "library/timeOutViewController.h"

namespace yx {

namespace {
template <class T> Storyboards::Factory factory() {
  return [] { return std::make_shared<T>(); };
}
}  // namespace

void registerLibraryScreens() {
  Storyboards::registerInitial("library", factory<libViewController>());

  // The Library menu and the login screen lead to the same three lists.
  for (const char* from : {"libViewController", "libLoginViewController"}) {
    Storyboards::registerSegue(from, "libBorrow", factory<borrowReViewController>());
    Storyboards::registerSegue(from, "timeOut", factory<timeOutViewController>());
    Storyboards::registerSegue(from, "libArrive", factory<libArriveViewController>());
  }
  Storyboards::registerSegue("libViewController", "libLogin", factory<libLoginViewController>());
  Storyboards::registerSegue("libViewController", "libTime", factory<libTimeViewController>());
  Storyboards::registerSegue("libViewController", "newSource", factory<newSourceViewController>());

  for (const char* list : {"borrowReViewController", "timeOutViewController", "libArriveViewController"})
    Storyboards::registerSegue(list, "libWeb", factory<libWebViewController>());

  Storyboards::registerSegue("libTimeViewController", "libTimeDetail", factory<libTimeDetailViewController>());
  Storyboards::registerSegue("libTimeViewController", "libOpenTimeDetail", factory<libOpenTimeViewController>());
  Storyboards::registerSegue("newSourceViewController", "newWeb", factory<newSourceWebViewController>());
}

}  // namespace yx
