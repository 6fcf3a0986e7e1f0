#pragma once
// The library web site's e-resource news: an RSS 2.0 feed whose
// "//rss/channel/item" elements give a title, a link and a pubDate.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yx::library {

struct NewsItem {
  std::string title, link, date;  // date as the list shows it (changeDate)
};

// Nothing when the bytes are not XML. A missing child is empty text.
std::optional<std::vector<NewsItem>> parseNewsFeed(std::string_view bytes);

// "Wed, 05 Dec 2012 10:00:00 +0800" -> "12/05": characters 9-11 name the
// month ("Jan" ... "Dec" become "1" ... "12"; any other text stays as it
// is) and characters 6-7 are the day. A text shorter than 11 characters is
// returned as it stands.
std::string changeDate(const std::string& pubDate);

// A link made ready to load: characters that may not appear in a URL are
// percent-escaped as UTF-8, while escapes already in the link (% and two
// hex digits) are kept, so nothing is escaped twice.
std::string escapeLink(std::string_view link);

// True for links a web page may be opened with (http and https).
bool isWebLink(std::string_view link);

}  // namespace yx::library
