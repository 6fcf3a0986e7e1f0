#pragma once
// The Feed loader screen: a transient screen that shows the progress alert,
// probes one feed URL, downloads it asynchronously, parses it event by event
// into Feed records, keeps them in the Feed cache file
// Documents/DownloadXml/<item element>.plist, and at the end of the document
// pushes its list screen. Concrete loaders (news, activities, lab seats, ...)
// give only their item element, field names, text treatment and list screen.
//
// Text rule: the element most recently started stays current until the next
// one starts, so text between a field's end tag and the next start tag lands
// in that field. Every newline and space is removed from field text (tabs
// are kept); a loader may treat the text further.
//
// The body is parsed piece by piece as it arrives, but nothing is stored or
// shown before the transfer has ended well: a transfer that fails (cut,
// time-out, over the size limit) or a final status other than 2xx counts as a
// transfer failure, with nothing parsed or cached: "savefile" is posted and
// the network alert shown, whose button pops the loader.
//
// Cache rule: a run that parses at least one item replaces the cache file
// with the records parsed so far, when the parse ends or fails, by one atomic
// rename (a run killed at any moment leaves the previous file whole); a feed
// without any item leaves the old file alone. The list screen is handed the
// same records (FeedRecordsReceiver), so it shows them even when the file
// could not be written, and its rows and details never disagree.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "markup/feed_records.h"
#include "markup/xml_event_parser.h"
#include "platform/http.h"
#include "platform/runloop.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

class ProgressView;
class Label;

// A list screen that can take the records its loader just parsed instead of
// reading the cache file.
class FeedRecordsReceiver {
public:
  virtual ~FeedRecordsReceiver() = default;
  virtual void setFeedRecords(std::shared_ptr<const FeedRecords> records) = 0;
};

class FeedLoaderViewController : public ViewController, public XmlEventDelegate, public AlertViewDelegate {
public:
  // Name of the notification posted (with the loader as sender) when the
  // transfer fails after a good probe.
  static constexpr const char* kSaveFileNotification = "savefile";

  FeedLoaderViewController();
  ~FeedLoaderViewController() override;

  void viewDidLoad() override;
  // "progressBar:" starts a load of the given feed URL.
  bool receive(const std::string& operation, const std::string& value) override;

  // Shows the progress alert and calls parseURL() 0.3 s later.
  void progressBar(const std::string& url);
  // Probes the URL with a blocking GET; on an answer, starts the asynchronous
  // download (60 s, no cached data); without one, shows the network alert
  // whose button pops this loader.
  void parseURL(const std::string& url);

  // Documents/DownloadXml/<itemElement>.plist.
  static std::string cachePath(const std::string& itemElement);
  // The integer at the start of a text as a person reads "12" or " -3x"
  // (leading blanks, an optional sign, digits); 0 when there is none;
  // clamped to the 32-bit range.
  static int intValue(std::string_view text);

  // The loader's state, for its screens and tests.
  const std::string& feedURL() const { return url_; }
  std::size_t recordsWritten() const { return records_ ? records_->size() : 0; }
  bool finished() const { return finished_; }

  // XmlEventDelegate
  void parserDidStartElement(const std::string& name,
                             const std::vector<std::pair<std::string, std::string>>& attributes) override;
  void parserFoundCharacters(std::string_view chunk) override;
  void parserDidEndElement(const std::string& name) override;
  void parserDidEndDocument() override;
  void parserParseErrorOccurred(long code) override;

  // AlertViewDelegate: the network alert and the parse-error alert pop the loader.
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

protected:
  // The item element ("news", "act", "labs").
  virtual std::string itemElement() const = 0;
  // The item's child element names, in the order they are stored.
  virtual const std::vector<std::string>& fieldNames() const = 0;
  // Further treatment of a field's text after newlines and spaces were removed.
  virtual void treatText(const std::string& /*field*/, std::string& /*text*/) const {}
  // Whether what arrived so far is dropped when a (further) response header
  // arrives; a transfer reports its response once, before any data.
  virtual bool emptiesDataOnResponse() const { return true; }
  // Called with the URL before the probe (a loader may pick a mode from it).
  virtual void willFetch(const std::string& /*url*/) {}
  // Whether the probe's result lets the download start: any answer does;
  // only a failed transfer (no connection, time-out, refused body) does not.
  virtual bool probeAnswered(const HttpResult& probe) { return probe.ok; }
  // The list screen pushed at the end of the document (null: push nothing).
  // When it is a FeedRecordsReceiver and this run parsed items, it is handed
  // the records before it is pushed.
  virtual std::shared_ptr<ViewController> makeListScreen() = 0;

private:
  void createProgressionAlertWithMessage(const std::string& title);
  void changeValue();
  void dismissLoadingAlert();
  void startParse();
  void transferEnded(bool delivered);
  void transferFailed();
  void flushText();
  void writetolocal(const std::string& itemName);
  void writeCache();
  int fieldIndex(const std::string& name) const;
  void popSelf();

  std::string url_;
  std::shared_ptr<HttpTransfer> transfer_;
  long status_ = 0;
  std::unique_ptr<XmlEventParser> parser_;  // while the body arrives
  bool bytesFed_ = false;

  // Parsing state.
  std::string currentElement_;
  std::string currenttype_;
  bool haveItems_ = false;         // a "NewDataSet" start was seen
  std::vector<std::string> buffers_;
  std::string pendingText_;        // raw text since the last tag
  bool Delete_ = false;            // this run has items, so it replaces the cache file
  std::shared_ptr<FeedRecords> records_;  // this run's records
  long parseError_ = 0;            // the parser's error code, 0 when none
  bool documentEnded_ = false;
  bool finished_ = false;

  // Progress alert.
  std::shared_ptr<AlertView> autoAlert_;
  std::shared_ptr<ProgressView> bar_;
  std::shared_ptr<Label> proLbl_;
  TimerId timer_ = 0;
  float value_ = 0;

  std::weak_ptr<AlertView> networkAlert_, errorAlert_;
};

}  // namespace yx
