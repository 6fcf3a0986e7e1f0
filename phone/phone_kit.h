#pragma once
// What the telephone, Wi-Fi and feedback screens share: reading the
// directory feeds, handing numbers to the softphone, and the small layout
// helpers of these screens.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx::phone {

// The "dp" entries of a directory feed: for each entry, the string value of
// the first child element of each wanted name (empty text when the entry has
// no such child). Nothing when the bytes are not an XML document.
using FeedRows = std::vector<std::vector<std::string>>;
std::optional<FeedRows> readDirectoryFeed(std::string_view body, const std::vector<std::string>& fields);
// Fetches a directory feed from the campus data server and reads it; nothing
// when the server is dead, answers an error or sends no XML.
std::optional<FeedRows> loadDirectoryFeed(const std::string& path, const std::vector<std::string>& fields);

// Splits at every occurrence of the separator ("" gives one empty part).
std::vector<std::string> splitText(const std::string& text, char separator);

// The integer a text starts with (leading blanks, a sign, digits; 0 when
// none; clamped to the int range), as C's atoi reads it.
int leadingInt(std::string_view text);

// "sip:" and the number as a SIP user part: the characters a SIP user part
// may carry stay, every other byte (space, "#", "%", non-ASCII …) is
// written %XX. "2354" gives "sip:2354"; an empty number "sip:".
std::string sipURL(const std::string& number);

// The time of a call as the Call record keeps it: "yyyy/MM/dd HH:mm" in the
// device's time zone, calendar year.
std::string callTimeNow();

// Builds a button with a title, an action name for scripts and an action.
std::shared_ptr<Button> makeButton(Rect frame, const std::string& title, const std::string& actionName,
                                   std::function<void(Button&)> action);
// A text field with a name, a placeholder and optionally secure entry.
std::shared_ptr<TextField> makeField(Rect frame, const std::string& name, const std::string& placeholder,
                                     bool secure = false);
// The large spinner these screens show while they wait ("activityIndicator",
// in the middle of the screen, stopped), added to `parent`.
std::shared_ptr<ActivityIndicator> addSpinner(View& parent);
// A label with several lines of text.
std::shared_ptr<Label> makeTextLabel(Rect frame, const std::string& text, double fontSize = 15);

}  // namespace yx::phone
