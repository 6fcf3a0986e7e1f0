#pragma once
// What every feature screen shares with the Home menu: leaving a screen by its
// back and home buttons (with the usage exit report), the network alert, the
// standard header bar, and the application delegate's shared values.
//
// Typical use in a feature screen (tag scheme A: home 1, back 2):
//
//   void viewDidLoad() override {
//     addHeaderBar(*this, "近期消息", /*homeTag=*/1, /*backTag=*/2,
//                  [this](int tag) { if (tag == 1) goHome(*this); else goBack(*this); });
//   }
//   ...
//   if (!appDelegate()->interetconncet) { showNetworkAlert(); return; }
//
// All of these are called on the main thread, except startUsageExitReport()'s
// own work, which runs on a detached (counted) background thread.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/app_delegate.h"
#include "markup/dom.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

// Sends the usage exit report on a detached background thread. The Usage
// record is read from the settings store at the call, so a screen that
// navigates right after still reports itself. Never blocks, never shows
// anything; a failed send is dropped.
void startUsageExitReport();

// Back button: starts the usage exit report (when `report`), then pops one
// screen, animated. Does nothing when `from` is not on a navigation stack.
void goBack(ViewController& from, bool report = true);
// Home button: starts the usage exit report (when `report`), then pops to the
// Home menu (the navigation root), not animated.
void goHome(ViewController& from, bool report = true);

// The shared network alert: title "網路警示", message
// "請確認網路連線狀態是否開啟。" (without the final "。" when withFullStop is
// false), one button "確定". The delegate (optional, weak) hears the press.
std::shared_ptr<AlertView> showNetworkAlert(std::weak_ptr<AlertViewDelegate> delegate = {},
                                            bool withFullStop = true);

// The running application delegate, whose shared values (interetconncet,
// internetStr, personDic ...) every screen reads. Null only when the app was
// started with another delegate (some tests).
corvaleAppDelegate* appDelegate();

// True when the shared reachable flag is set (false without a delegate).
bool networkReachable();

// Adds the standard header bar to the top of vc's view: a 320 x 44 bar with
// the tiled image `pattern`, a centred title label named "titleLabel", and a
// home button (named "homeButton", tag homeTag) at the left and a back button
// (named "backButton", tag backTag) at the right. Both buttons call
// onTag(tag). Pass a negative tag to leave that button out.
// Scheme A screens use homeTag 1, backTag 2; scheme B screens homeTag 0, backTag 1.
// Returns the bar (already added to vc's view).
std::shared_ptr<View> addHeaderBar(ViewController& vc, const std::string& title, int homeTag, int backTag,
                  std::function<void(int tag)> onTag, const std::string& pattern = "hl_b1.jpg");

// The URL of a path on a server the deployment names; nothing when it names
// no such server (callers treat that like a dead server).
std::optional<std::string> serverURL(std::string_view kind, std::string_view pathAndQuery);
// One blocking GET (60 s): the body, or nothing when the transfer fails or
// the server answers an error status (400 and above: an error page is no feed).
std::optional<std::string> fetchBody(const std::string& url);
// fetchBody parsed as a document: null also when the bytes are not a
// well-formed document (empty, truncated, over the HTTP size limit).
std::shared_ptr<DomDocument> fetchDocument(const std::string& url);

// The count under a list: "共 %lu 筆", or "共%lu筆" when not spaced.
std::string countText(std::size_t n, bool spaced = true);

// Records the Usage record for a feature being opened with this usage label
// (what the Home menu does before pushing an entry's screen): "user_X",
// "user_Y" from the last location fix, "功能名稱" = label, "啓動時間" = now.
void userBehavior(const std::string& label);

// The last location fix the Home menu heard (0, 0 before any), thread-safe.
void setLastFix(double latitude, double longitude);
std::pair<double, double> lastFix();  // (latitude, longitude)

}  // namespace yx
