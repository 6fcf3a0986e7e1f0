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
  auto bg = make<ImageView>(Rect{0, 0, 320, 460}, "parserBG_.png");
  bg->setName("parserBG");
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
  HttpResult probe = httpGet(url, 60);
  if (!probeAnswered(probe)) {
    probeFailed();
    loadDidEnd();
    return;
  }

  receivedData_.clear();
  std::weak_ptr<FeedLoaderViewController> weak = sharedAs<FeedLoaderViewController>();
  HttpCallbacks cb;
  cb.onResponse = [weak](long) {
    if (auto self = weak.lock())
      if (self->emptiesDataOnResponse()) self->receivedData_.clear();
  };
  cb.onData = [weak](const std::string& chunk) {
    if (auto self = weak.lock()) self->receivedData_ += chunk;
  };
  cb.onFailure = [weak](const std::string&) {
    if (auto self = weak.lock()) {
      self->transfer_.reset();
      NotificationCenter::defaultCenter().post(kSaveFileNotification, self.get());
      self->transferFailed();
      self->loadDidEnd();
    }
  };
  cb.onFinish = [weak] {
    if (auto self = weak.lock()) {
      self->transfer_.reset();
      self->parseReceivedData();
    }
  };
  transfer_ = httpGetAsync(url, 60, std::move(cb));
}

// ------------------------------------------------------------------ parsing

void FeedLoaderViewController::parseReceivedData() {
  auto keep = shared_from_this();
  XmlEventParser parser(std::move(receivedData_));
  receivedData_.clear();
  parser.setDelegate(this);
  documentWillParse();
  parser.parse();
  // Whatever ended the parse, the file now holds the records parsed so far.
  writeCache();
  loadDidEnd();
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
    if (haveItems_) didStoreRecord(cache_.back());
  }
  if (haveItems_) items_ = Value::dictionary();
}

void FeedLoaderViewController::writetolocal(const std::string& itemName) {
  if (!keepsCacheFile()) {
    if (haveItems_) cache_.push_back(std::move(items_));
    return;
  }
  if (!Delete_) {
    std::string path = cachePath(itemName);
    Delete_ = true;
    Files::removeItem(path);
    auto old = Files::readArrayFile(path);
    cache_ = old ? old->asArray() : Value::Array{};
    std::string dir = Files::join(Files::documentsDirectory(), "DownloadXml");
    if (!Files::isDirectory(dir)) Files::createDirectory(dir, false);
    cacheDirty_ = true;
  }
  if (haveItems_) {
    cache_.push_back(std::move(items_));
    cacheDirty_ = true;
  }
}

void FeedLoaderViewController::writeCache() {
  if (!cacheDirty_ || currenttype_.empty() || !keepsCacheFile()) return;
  cacheDirty_ = false;
  // Written without copying the records: they move into the value and back.
  Value file(std::move(cache_));
  Files::writeArrayFile(cachePath(currenttype_), file);
  cache_ = std::move(file.arrayItems());
}

void FeedLoaderViewController::parserDidEndDocument() {
  writeCache();
  finished_ = true;
  documentDidEnd();
}

void FeedLoaderViewController::documentDidEnd() {
  auto list = makeListScreen();
  if (list && navigationController()) navigationController()->pushViewController(list, false);
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
