#pragma once
// What the campus newspaper's screens share: where its feeds and pictures
// live, reading items out of a feed, the bottom bar every screen has, and the
// few text rules of its pages.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "markup/dom.h"
#include "platform/ui/view_controller.h"

namespace yx::times {

// Feeds on the Campus data server. Ids and issue numbers come from feeds and
// are escaped as one path segment, so "/" or "?" in them cannot move the
// request elsewhere.
std::string chineseListURL(int section);          // "/Data/xml/Times/new-cht%d.xml"
std::string englishListURL();                     // "/Data/xml/Times/new-eng.xml"
std::string articleURL(const std::string& id);    // "/Data/xml/Times/new-%@.xml"
std::string eventsURL();                          // "/Data/xml/Times/event.xml"
std::string speechesURL();                        // "/Data/xml/Times/speech.xml"
std::string photoIssuesURL();                     // "/Data/xml/Times/pic_db.xml"
std::string photoIssueURL(const std::string& issue);  // "/Data/xml/Times/pic_db-%@.xml"

// Pictures and pages on the Newspaper web server; a picture path is one
// query value (escaped, "/" kept).
std::string thumbnailURL(const std::string& picturePath);  // "/ashx/getILPic150.ashx?im=%@"
std::string pictureURL(const std::string& picturePath);    // "/ashx/getILPic.ashx?im=%@"
std::string homePageURL();                                 // the root "/"
std::string askPictureURL();                               // "/gallery/AskPic.aspx"

// The elements of that name directly under the root, in document order.
std::vector<DomElementPtr> itemsNamed(const DomDocument& doc, const std::string& name);
// The whole text of the first child element of that name; "" when missing.
std::string childText(const DomElement& item, const std::string& name);
// The same for several names at once, in one pass over the item's children
// (what long lists use).
std::vector<std::string> childTexts(const DomElement& item, const std::vector<std::string>& names);

// The 320 x 50 bottom bar image "001_03.png" with, at its right, an untitled
// 50 x 50 back button whose picture is "上一頁.png" (its foreground image, so
// `tap TAG 上一頁.png` finds it).
struct BottomBar {
  std::shared_ptr<ImageView> bar;
  std::shared_ptr<Button> back;
  void moveTo(double y);
};
// Added to `parent` at y: by default the bottom of the 568-point design,
// kept there as the screen grows.
BottomBar addBottomBar(View& parent, int tag, std::function<void(int)> onTag, double y = 518,
                       bool stickToBottom = true);

}  // namespace yx::times
