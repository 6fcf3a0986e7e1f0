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
// The body is kept in one buffer as it arrives (sized from the probe) and
// parsed when the transfer has ended well. A transfer that fails (cut,
// time-out, over the size limit) or whose final status is not 2xx is a
// transfer failure: nothing is parsed or cached, "savefile" is posted and,
// by default, the network alert is shown, whose button pops the loader.
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
#include "platform/plist_value.h"
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
  std::size_t recordsWritten() const { return cache_ ? cache_->size() : 0; }
  bool finished() const { return finished_; }

  // XmlEventDelegate
  void parserDidStartElement(const std::string& name,
                             const std::vector<std::pair<std::string, std::string>>& attributes) override;
  void parserFoundCharacters(std::string_view chunk) override;
  void parserDidEndElement(const std::string& name) override;
  void parserDidEndDocument() override;
  void parserParseErrorOccurred(long code) override;

  // AlertViewDelegate: every alert but the progress alert goes to failureAlertAnswered().
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

protected:
  // The item element ("news", "act", "labs").
  virtual std::string itemElement() const = 0;
  // The item's child element names, in the order they are stored.
  virtual const std::vector<std::string>& fieldNames() const = 0;
  // Further treatment of a field's text after newlines and spaces were removed.
  virtual void treatText(const std::string& /*field*/, std::string& /*text*/) const {}
  // Whether the byte buffer is emptied when the response header arrives.
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

  // ---- Hooks for screens that show their own results (the academic
  // services). The defaults are a transient loader's behaviour.
  // progressBar() was called; the progress alert shows next.
  virtual void loadWillStart() {}
  // The probe got no answer. Default: the network alert, whose button pops.
  virtual void probeFailed();
  // The transfer failed after a good probe, or its final status was not 2xx
  // ("savefile" was posted). Default: the network alert, whose button pops.
  virtual void transferFailed();
  // The received bytes are about to be parsed.
  virtual void documentWillParse() {}
  // The keys the fields are stored under, in fieldNames() order.
  virtual const std::vector<std::string>& recordKeys() const { return fieldNames(); }
  // Elements whose text is the service's refusal. At the end of one the run
  // is refused: the progress alert goes, no further record is stored, and
  // didRefuse() hears the text.
  virtual const std::vector<std::string>& refusalElements() const;
  virtual void didRefuse(const std::string& /*text*/) {}
  // Text of any element once newlines and spaces are removed (not empty).
  virtual void didReadText(const std::string& /*element*/, const std::string& /*text*/) {}
  // A completed record of a run that is not refused: whether it is stored,
  // and that it was.
  virtual bool shouldStoreRecord(const Value& /*record*/) { return true; }
  virtual void didStoreRecord(const Value& /*record*/) {}
  // Whether the records go to the cache file; false keeps them in memory.
  virtual bool keepsCacheFile() const { return true; }
  // The end of the document. Default: pushes makeListScreen().
  virtual void documentDidEnd();
  // The load ended, however (end of document, parse error, failed probe or
  // transfer).
  virtual void loadDidEnd() {}
  // A button of an alert this loader is the delegate of, the progress alert
  // aside (the network and parse-error alerts, and a subclass's own).
  // Default: pops the loader.
  virtual void failureAlertAnswered(AlertView& /*alert*/, int /*index*/) { popSelf(); }

  // The records of this run (also those not written to a file), whether it
  // was refused, and the progress alert's dismissal.
  Value::Array records() const;
  std::shared_ptr<const FeedRecords> feedRecords() const { return cache_; }
  bool refused() const { return refused_; }
  void dismissLoadingAlert();

private:
  void createProgressionAlertWithMessage(const std::string& title);
  void changeValue();
  void parseReceivedData();
  void failTransfer();
  void flushText();
  void writetolocal(const std::string& itemName);
  void writeCache();
  int fieldIndex(const std::string& name) const;
  bool isRefusalElement(const std::string& name) const;
  void popSelf();

  std::string url_;
  std::string receivedData_;
  std::size_t expectedBytes_ = 0;  // the probe's body size
  long status_ = 0;                // the transfer's final status
  std::shared_ptr<HttpTransfer> transfer_;

  // Parsing state.
  std::string currentElement_;
  std::string currenttype_;
  bool haveItems_ = false;         // a "NewDataSet" start was seen
  Value items_;                    // the record being built
  std::vector<std::string> buffers_;
  std::string pendingText_;        // raw text since the last tag
  bool Delete_ = false;            // this run has items, so it replaces the cache file
  std::shared_ptr<FeedRecords> cache_;  // this run's records
  bool cacheDirty_ = false;
  bool finished_ = false;
  bool refused_ = false;
  std::string refusalText_;

  // Progress alert.
  std::shared_ptr<AlertView> autoAlert_;
  std::shared_ptr<ProgressView> bar_;
  std::shared_ptr<Label> proLbl_;
  TimerId timer_ = 0;
  float value_ = 0;

  std::weak_ptr<AlertView> networkAlert_, errorAlert_;
};

}  // namespace yx
