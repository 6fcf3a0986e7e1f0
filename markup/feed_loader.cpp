#include "markup/feed_loader.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/files.h"
#include "platform/notify.h"
#include "platform/ui/view.h"

namespace yx {

namespace {

constexpr const char* kProgressTitle = "網路資料讀取中";
constexpr const char* kProgressMessage = "請稍候...";
constexpr const char* kRootElement = "NewDataSet";

}  // namespace

FeedLoaderViewController::FeedLoaderViewController() = default;

FeedLoaderViewController::~FeedLoaderViewController() {
  if (transfer_) transfer_->cancel();
  if (timer_) RunLoop::main().cancel(timer_);
}

void FeedLoaderViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  // The backdrop fills the screen, however tall the canvas is.
  const Rect bounds = view().frame();
  auto bg = make<ImageView>(Rect{0, 0, bounds.width, bounds.height}, "parserBG_.png");
  bg->setName("parserBG");
  bg->setAutoresizingMask(Autoresizing::FlexibleSize);
  bg->setFillsFrame(true);
  view().addSubview(bg);
}

bool FeedLoaderViewController::receive(const std::string& operation, const std::string& value) {
  if (operation != "progressBar:") return false;
  progressBar(value);
  return true;
}

std::string FeedLoaderViewController::cachePath(const std::string& itemElement) {
  return Files::join(Files::join(Files::documentsDirectory(), "DownloadXml"), itemElement + ".plist");
}

int FeedLoaderViewController::intValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) v = -v;
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// ------------------------------------------------------------ progress alert

void FeedLoaderViewController::progressBar(const std::string& url) {
  url_ = url;
  loadWillStart();
  createProgressionAlertWithMessage(kProgressTitle);
  performAfterDelay(0.3, [this, url] { parseURL(url); });
}

void FeedLoaderViewController::createProgressionAlertWithMessage(const std::string& title) {
  if (autoAlert_) return;
  autoAlert_ = AlertView::create(title, kProgressMessage, sharedAs<AlertViewDelegate>(), "");
  bar_ = make<ProgressView>(Rect{30, 90, 225, 90});
  bar_->setStyle(1);
  bar_->setName("progressBar");
  proLbl_ = make<Label>(Rect{30, 70, 225, 20});
  proLbl_->setName("proLbl");
  proLbl_->setBackgroundColor(Color::clear());
  proLbl_->setFont(20);
  proLbl_->setAlignment(TextAlignment::Center);
  proLbl_->setTextColor(Color::white());
  autoAlert_->contentView().addSubview(bar_);
  autoAlert_->contentView().addSubview(proLbl_);
  value_ = 0;
  autoAlert_->show();
  timer_ = scheduleRepeating(0.01, [this] { changeValue(); });
}

void FeedLoaderViewController::changeValue() {
  float read = value_;
  value_ = read + 1;
  if (read >= 100) {
    RunLoop::main().cancel(timer_);
    timer_ = 0;
    dismissLoadingAlert();
    return;
  }
  bar_->setProgress(value_ / 100);
  char text[32];
  std::snprintf(text, sizeof text, "%d %%", static_cast<int>(value_));
  proLbl_->setText(text);
}

void FeedLoaderViewController::dismissLoadingAlert() {
  if (autoAlert_) autoAlert_->dismissWithClickedButtonIndex(0, false);
}

// -------------------------------------------------------------------- fetch

void FeedLoaderViewController::parseURL(const std::string& url) {
  url_ = url;
  willFetch(url);
  // The probe only asks whether the feed answers: its body is counted (to
  // size the download's buffer) but not kept.
  HttpResult probe = httpGetDiscardingBody(url, 60);
  if (!probeAnswered(probe)) {
    probeFailed();
    loadDidEnd();
    return;
  }

  receivedData_.clear();
  receivedData_.shrink_to_fit();
  expectedBytes_ = std::min(probe.bodyBytes, httpMaxBodyBytes());
  status_ = 0;
  std::weak_ptr<FeedLoaderViewController> weak = sharedAs<FeedLoaderViewController>();
  HttpCallbacks cb;
  cb.onResponse = [weak](long status) {
    if (auto self = weak.lock()) {
      self->status_ = status;
      if (self->emptiesDataOnResponse()) self->receivedData_.clear();
    }
  };
  // The body is gathered in one buffer: an answer that is not a success is
  // not kept at all.
  cb.onData = [weak](const std::string& chunk) {
    auto self = weak.lock();
    if (!self || self->status_ < 200 || self->status_ > 299) return;
    if (self->receivedData_.capacity() < self->expectedBytes_) self->receivedData_.reserve(self->expectedBytes_);
    self->receivedData_ += chunk;
  };
  cb.onFailure = [weak](const std::string&) {
    if (auto self = weak.lock()) {
      self->transfer_.reset();
      self->failTransfer();
    }
  };
  cb.onFinish = [weak] {
    if (auto self = weak.lock()) {
      self->transfer_.reset();
      if (self->status_ < 200 || self->status_ > 299)
        self->failTransfer();
      else
        self->parseReceivedData();
    }
  };
  transfer_ = httpGetAsync(url, 60, std::move(cb));
}

// A cut, a time-out, a body over the size limit or a final status that is
// not a success: nothing is parsed or cached, and (by default) the person is
// told and taken back, never left on a screen without a way out.
void FeedLoaderViewController::failTransfer() {
  auto keep = shared_from_this();
  receivedData_.clear();
  receivedData_.shrink_to_fit();
  NotificationCenter::defaultCenter().post(kSaveFileNotification, this);
  transferFailed();
  loadDidEnd();
}

void FeedLoaderViewController::transferFailed() {
  auto alert = AlertView::create("網路警示", "請確認網路連線狀態是否開啟", sharedAs<AlertViewDelegate>(), "確定");
  networkAlert_ = alert;
  alert->show();
}

// ------------------------------------------------------------------ parsing

void FeedLoaderViewController::parseReceivedData() {
  auto keep = shared_from_this();
  Delete_ = false;
  cacheDirty_ = false;
  cache_ = std::make_shared<FeedRecords>(recordKeys());
  XmlEventParser parser;
  parser.setDelegate(this);
  documentWillParse();
  // The parser reads the buffer in pieces and keeps no copy of it.
  parser.feed(receivedData_);
  receivedData_.clear();
  receivedData_.shrink_to_fit();
  parser.finish();
  // Whatever ended the parse, the file now holds the records parsed so far.
  writeCache();
  loadDidEnd();
}

Value::Array FeedLoaderViewController::records() const {
  Value::Array out;
  if (!cache_) return out;
  out.reserve(cache_->size());
  for (std::size_t i = 0; i < cache_->size(); ++i) out.push_back(cache_->record(i));
  return out;
}

int FeedLoaderViewController::fieldIndex(const std::string& name) const {
  const auto& fields = fieldNames();
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i] == name) return static_cast<int>(i);
  return -1;
}

// Text between two tags is treated as one piece, however the parser cut it
// into chunks, and lands in the field that is current.
void FeedLoaderViewController::flushText() {
  if (pendingText_.empty()) return;
  std::string text;
  text.reserve(pendingText_.size());
  for (char c : pendingText_)
    if (c != '\n' && c != ' ') text += c;
  pendingText_.clear();
  int index = fieldIndex(currentElement_);
  if (index >= 0) {
    treatText(currentElement_, text);
    if (buffers_.size() != fieldNames().size()) buffers_.resize(fieldNames().size());
    buffers_[static_cast<size_t>(index)] += text;
  } else if (isRefusalElement(currentElement_)) {
    refusalText_ += text;
  }
  if (!text.empty()) didReadText(currentElement_, text);
}

const std::vector<std::string>& FeedLoaderViewController::refusalElements() const {
  static const std::vector<std::string> none;
  return none;
}

bool FeedLoaderViewController::isRefusalElement(const std::string& name) const {
  const auto& list = refusalElements();
  return std::find(list.begin(), list.end(), name) != list.end();
}

void FeedLoaderViewController::parserDidStartElement(
    const std::string& name, const std::vector<std::pair<std::string, std::string>>& /*attributes*/) {
  flushText();
  currentElement_ = name;
  if (name == kRootElement) {
    items_ = Value::dictionary();
    haveItems_ = true;
  }
  if (name == itemElement()) buffers_.assign(fieldNames().size(), std::string());
}

void FeedLoaderViewController::parserFoundCharacters(std::string_view chunk) { pendingText_.append(chunk); }

void FeedLoaderViewController::parserDidEndElement(const std::string& name) {
  flushText();
  if (isRefusalElement(name)) {
    refused_ = true;
    dismissLoadingAlert();
    didRefuse(refusalText_);
    return;
  }
  if (name != itemElement() || refused_) return;
  currenttype_ = name;
  const auto& fields = fieldNames();
  const auto& keys = recordKeys();
  if (buffers_.size() != fields.size()) buffers_.resize(fields.size());
  if (haveItems_)
    for (size_t i = 0; i < fields.size(); ++i) items_.set(i < keys.size() ? keys[i] : fields[i], Value(buffers_[i]));
  if (!haveItems_ || shouldStoreRecord(items_)) {
    writetolocal(currenttype_);
    if (haveItems_) didStoreRecord(items_);
  }
  // The next record sets every field again, in place (no new keys).
}

// The first item of a run makes the run replace the cache file (when the
// parse ends, never before); the record joins the run's records when the item
// lies inside the "NewDataSet" root.
void FeedLoaderViewController::writetolocal(const std::string& /*itemName*/) {
  if (!Delete_) {
    Delete_ = true;
    cacheDirty_ = keepsCacheFile();
  }
  if (!haveItems_ || !cache_) return;
  buffers_.resize(fieldNames().size());
  cache_->append(std::move(buffers_));
  buffers_.assign(fieldNames().size(), std::string());
}

void FeedLoaderViewController::writeCache() {
  if (!cacheDirty_ || currenttype_.empty() || !keepsCacheFile() || !cache_) return;
  cacheDirty_ = false;
  std::string dir = Files::join(Files::documentsDirectory(), "DownloadXml");
  if (!Files::isDirectory(dir)) Files::createDirectory(dir, false);
  // When the file cannot be written (a full disk, a read-only folder) the
  // list is still handed these records, and the next run tries again.
  cache_->writeFile(cachePath(currenttype_));
}

void FeedLoaderViewController::parserDidEndDocument() {
  writeCache();
  finished_ = true;
  documentDidEnd();
}

void FeedLoaderViewController::documentDidEnd() {
  auto list = makeListScreen();
  if (!list) return;
  if (Delete_ && cache_)
    if (auto* receiver = dynamic_cast<FeedRecordsReceiver*>(list.get())) receiver->setFeedRecords(cache_);
  if (navigationController()) navigationController()->pushViewController(list, false);
}

void FeedLoaderViewController::probeFailed() {
  auto alert = AlertView::create("網路警示", "請確認網路連線狀態是否開啟", sharedAs<AlertViewDelegate>(), "確定");
  networkAlert_ = alert;
  alert->show();
}

void FeedLoaderViewController::parserParseErrorOccurred(long code) {
  pendingText_.clear();
  writeCache();
  char message[128];
  std::snprintf(message, sizeof message, "Unable to download story feed from web site (Error code %li )", code);
  auto alert = AlertView::create("Error loading content", message, sharedAs<AlertViewDelegate>(), "OK");
  errorAlert_ = alert;
  alert->show();
}

// ------------------------------------------------------------------- alerts

void FeedLoaderViewController::alertViewClickedButtonAtIndex(AlertView& alert, int index) {
  if (&alert == autoAlert_.get()) return;
  failureAlertAnswered(alert, index);
}

void FeedLoaderViewController::popSelf() {
  auto* nav = navigationController();
  if (nav && nav->topViewController() == this) nav->popViewControllerAnimated(false);
}

}  // namespace yx
