#pragma once
// The Feed loaders of the news, activities and computer-lab seat features.

#include <memory>
#include <string>
#include <vector>

#include "markup/feed_loader.h"

namespace yx {

// Feed URLs on the campus data server.
std::string newsFeedURL(long category);      // /Data/xml/news-<n>.xml
std::string activityFeedURL(long category);  // /Data/xml/act-<n>.xml
std::string labsFeedURL();                   // /Data/xml/labs.xml

// News: items "news", cache "news.plist", pushes newsListViewController.
class newsXMLParser : public FeedLoaderViewController {
public:
  std::string className() const override { return "newsXMLParser"; }
  static const std::vector<std::string>& fields();
  // The category whose feed this loads (0, all, from the Home menu); the
  // list it opens keeps it.
  void setCategory(int category) { category_ = category; }

protected:
  std::string itemElement() const override { return "news"; }
  const std::vector<std::string>& fieldNames() const override { return fields(); }
  void treatText(const std::string& field, std::string& text) const override;
  bool emptiesDataOnResponse() const override { return false; }
  std::shared_ptr<ViewController> makeListScreen() override;

private:
  int category_ = 0;
};

// The generic loader. Its mode is the first of "prefer", "act" and "bus"
// found in the feed's own path ("/Data/xml/act-0.xml"), never in the
// deployment's part of the URL (host, port, path prefix); "act" reads the
// activities feed (items "act", cache "act.plist") and pushes
// inforActsViewController.
class xmlParser : public FeedLoaderViewController {
public:
  std::string className() const override { return "xmlParser"; }
  static const std::vector<std::string>& fields();
  // The mode for a feed URL.
  static std::string modeFor(const std::string& url);
  const std::string& WhoParser() const { return mode_; }
  void setCategory(int category) { category_ = category; }

protected:
  std::string itemElement() const override { return "act"; }
  const std::vector<std::string>& fieldNames() const override { return fields(); }
  void treatText(const std::string& field, std::string& text) const override;
  void willFetch(const std::string& url) override { mode_ = modeFor(url); }
  std::shared_ptr<ViewController> makeListScreen() override;

private:
  std::string mode_;
  int category_ = 0;
};

// Lab seats: items "labs", cache "labs.plist", pushes computerViewController.
class computerSeatXMLParser : public FeedLoaderViewController {
public:
  std::string className() const override { return "computerSeatXMLParser"; }
  static const std::vector<std::string>& fields();

protected:
  std::string itemElement() const override { return "labs"; }
  const std::vector<std::string>& fieldNames() const override { return fields(); }
  void treatText(const std::string& field, std::string& text) const override;
  std::shared_ptr<ViewController> makeListScreen() override;
};

// Text helpers shared by the loaders and screens.
void replaceAll(std::string& text, const std::string& from, const std::string& to);

}  // namespace yx
