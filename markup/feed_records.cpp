#include "markup/feed_records.h"

#include <utility>

#include "markup/xml_event_parser.h"
#include "platform/files.h"

namespace yx {

namespace {

const std::string kEmpty;

// Text as XML property lists hold it. A carriage return is written as a
// reference, since a reader would otherwise turn it into a newline; the other
// control characters XML cannot carry at all are left out.
void appendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\r': out += "&#13;"; break;
      case '\t':
      case '\n': out += c; break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
        break;
    }
  }
}

// Reads an XML property list whose top level is an array of dictionaries,
// keeping the texts of the wanted fields. Anything else in the array (or under
// a key) counts as no text.
class PlistArrayReader : public XmlEventDelegate {
public:
  explicit PlistArrayReader(FeedRecords& out) : out_(out), fields_(out.fields()) {}

  bool ok() const { return sawArray_ && !broken_; }

  void parserDidStartElement(const std::string& name, const std::vector<std::pair<std::string, std::string>>&) override {
    ++depth_;
    text_.clear();
    if (depth_ == 1) {
      if (name != "plist") broken_ = true;
    } else if (depth_ == 2) {
      if (name != "array" || sawArray_) broken_ = true;
      sawArray_ = true;
    } else if (depth_ == 3) {
      row_.assign(fields_.size(), std::string());
      inDict_ = name == "dict";
    } else if (depth_ == 4 && inDict_) {
      collecting_ = name == "key" || name == "string";
      isKey_ = name == "key";
    }
  }

  void parserFoundCharacters(std::string_view chunk) override {
    if (collecting_ && depth_ == 4) text_.append(chunk);
  }

  void parserDidEndElement(const std::string&) override {
    if (depth_ == 4 && inDict_) {
      if (isKey_) {
        key_ = std::move(text_);
        haveKey_ = true;
      } else if (haveKey_) {
        if (collecting_) {
          for (std::size_t i = 0; i < fields_.size(); ++i)
            if (fields_[i] == key_) row_[i] = std::move(text_);
        }
        haveKey_ = false;
      }
      collecting_ = false;
      isKey_ = false;
      text_.clear();
    } else if (depth_ == 3) {
      out_.append(std::move(row_));
      row_.clear();
      inDict_ = false;
      haveKey_ = false;
    }
    --depth_;
  }

  void parserParseErrorOccurred(long) override { broken_ = true; }

private:
  FeedRecords& out_;
  const std::vector<std::string>& fields_;
  int depth_ = 0;
  bool sawArray_ = false, broken_ = false, inDict_ = false, collecting_ = false, isKey_ = false, haveKey_ = false;
  std::string text_, key_;
  std::vector<std::string> row_;
};

}  // namespace

FeedRecords::FeedRecords(std::vector<std::string> fields) : fields_(std::move(fields)) {}

const std::string& FeedRecords::text(std::size_t row, std::string_view field) const {
  if (row >= size()) return kEmpty;
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i] == field) return cells_[row * fields_.size() + i];
  return kEmpty;
}

Value FeedRecords::record(std::size_t row) const {
  Value r = Value::dictionary();
  if (row >= size()) return r;
  for (std::size_t i = 0; i < fields_.size(); ++i) r.set(fields_[i], Value(cells_[row * fields_.size() + i]));
  return r;
}

void FeedRecords::append(std::vector<std::string>&& texts) {
  texts.resize(fields_.size());
  for (auto& t : texts) cells_.push_back(std::move(t));
}

bool FeedRecords::writeFile(const std::string& path) const {
  std::vector<std::string> keys;
  for (const auto& f : fields_) {
    std::string k = "\t\t<key>";
    appendEscaped(k, f);
    keys.push_back(k + "</key>\n\t\t<string>");
  }
  return Files::writeStreamAtomically(path, [&](const Files::ByteSink& write) {
    if (!write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
               "<plist version=\"1.0\">\n<array>\n"))
      return false;
    std::string row;
    for (std::size_t r = 0; r < size(); ++r) {
      row.assign("\t<dict>\n");
      for (std::size_t i = 0; i < fields_.size(); ++i) {
        row += keys[i];
        appendEscaped(row, cells_[r * fields_.size() + i]);
        row += "</string>\n";
      }
      row += "\t</dict>\n";
      if (!write(row)) return false;
    }
    return write("</array>\n</plist>\n");
  }, 0644, /*durable=*/false);
}

std::optional<FeedRecords> FeedRecords::readFile(const std::string& path, std::vector<std::string> fields) {
  auto bytes = Files::readFile(path, Files::kMaxPlistBytes);
  if (!bytes) return std::nullopt;
  // Binary property lists (written by other tools) go through the general reader.
  if (bytes->compare(0, 6, "bplist") == 0) {
    auto v = Value::fromPlistBytes(*bytes);
    if (!v) return std::nullopt;
    return fromValue(*v, std::move(fields));
  }
  FeedRecords out(std::move(fields));
  PlistArrayReader reader(out);
  XmlEventParser parser;
  parser.setDelegate(&reader);
  parser.feed(*bytes);
  bytes.reset();
  if (!parser.finish() || !reader.ok()) return std::nullopt;
  return out;
}

std::optional<FeedRecords> FeedRecords::fromValue(const Value& array, std::vector<std::string> fields) {
  if (!array.isArray()) return std::nullopt;
  FeedRecords out(std::move(fields));
  for (const Value& item : array.asArray()) {
    std::vector<std::string> row(out.fields_.size());
    for (std::size_t i = 0; i < out.fields_.size(); ++i) row[i] = item.stringFor(out.fields_[i]);
    out.append(std::move(row));
  }
  return out;
}

}  // namespace yx
