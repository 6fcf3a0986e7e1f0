#include "platform/plist_value.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace yx {

namespace {
const std::string kEmptyString;
const Value::Array kEmptyArray;
const Value::Entries kEmptyEntries;
const Value kNull;
}  // namespace

Value::Value(std::string s) : type_(Type::String), str_(std::move(s)) {}
Value::Value(const char* s) : type_(Type::String), str_(s ? s : "") {}
Value::Value(std::string_view s) : type_(Type::String), str_(s) {}
Value::Value(Array items) : type_(Type::Array), array_(std::move(items)) {}

Value Value::bytes(std::string data) {
  Value v;
  v.type_ = Type::Bytes;
  v.str_ = std::move(data);
  return v;
}

Value Value::array(std::initializer_list<Value> items) { return Value(Array(items)); }

Value Value::dictionary(std::initializer_list<Entry> entries) {
  Value v;
  v.type_ = Type::Dictionary;
  for (const auto& e : entries) v.set(e.first, e.second);
  return v;
}

Value Value::stringArray(const std::vector<std::string>& items) {
  Array a;
  a.reserve(items.size());
  for (const auto& s : items) a.emplace_back(s);
  return Value(std::move(a));
}

const std::string& Value::asString() const {
  return (type_ == Type::String || type_ == Type::Bytes) ? str_ : kEmptyString;
}
const std::string& Value::asBytes() const { return asString(); }

long long Value::asInteger() const {
  switch (type_) {
    case Type::Integer: return int_;
    case Type::Real:
      if (std::isnan(real_)) return 0;
      if (real_ >= 9.2e18) return std::numeric_limits<long long>::max();
      if (real_ <= -9.2e18) return std::numeric_limits<long long>::min();
      return static_cast<long long>(real_);
    case Type::Boolean: return bool_ ? 1 : 0;
    default: return 0;
  }
}

double Value::asReal() const {
  switch (type_) {
    case Type::Integer: return static_cast<double>(int_);
    case Type::Real: return real_;
    case Type::Boolean: return bool_ ? 1 : 0;
    default: return 0;
  }
}

bool Value::asBool() const {
  switch (type_) {
    case Type::Boolean: return bool_;
    case Type::Integer: return int_ != 0;
    case Type::Real: return real_ != 0;
    default: return false;
  }
}

const Value::Array& Value::asArray() const { return type_ == Type::Array ? array_ : kEmptyArray; }
const Value::Entries& Value::asDictionary() const {
  return type_ == Type::Dictionary ? dict_ : kEmptyEntries;
}

std::size_t Value::size() const {
  if (type_ == Type::Array) return array_.size();
  if (type_ == Type::Dictionary) return dict_.size();
  return 0;
}

const Value& Value::operator[](std::size_t index) const {
  if (type_ != Type::Array || index >= array_.size()) return kNull;
  return array_[index];
}

Value::Array& Value::arrayItems() {
  if (type_ == Type::Null) type_ = Type::Array;
  if (type_ != Type::Array) {
    // Turning another kind into an array drops its content.
    *this = Value(Array{});
  }
  return array_;
}

Value& Value::append(Value item) {
  arrayItems().push_back(std::move(item));
  return array_.back();
}

const Value* Value::find(std::string_view key) const {
  if (type_ != Type::Dictionary) return nullptr;
  for (const auto& e : dict_)
    if (e.first == key) return &e.second;
  return nullptr;
}

const Value& Value::get(std::string_view key) const {
  const Value* v = find(key);
  return v ? *v : kNull;
}

const std::string& Value::stringFor(std::string_view key) const {
  const Value* v = find(key);
  return (v && v->isString()) ? v->str_ : kEmptyString;
}

Value& Value::set(std::string key, Value v) {
  if (type_ != Type::Dictionary) {
    *this = Value();
    type_ = Type::Dictionary;
  }
  for (auto& e : dict_) {
    if (e.first == key) {
      e.second = std::move(v);
      return e.second;
    }
  }
  dict_.emplace_back(std::move(key), std::move(v));
  return dict_.back().second;
}

bool Value::erase(std::string_view key) {
  if (type_ != Type::Dictionary) return false;
  for (auto it = dict_.begin(); it != dict_.end(); ++it) {
    if (it->first == key) {
      dict_.erase(it);
      return true;
    }
  }
  return false;
}

std::vector<std::string> Value::keys() const {
  std::vector<std::string> out;
  if (type_ != Type::Dictionary) return out;
  out.reserve(dict_.size());
  for (const auto& e : dict_) out.push_back(e.first);
  return out;
}

bool Value::operator==(const Value& o) const {
  if (type_ != o.type_) return false;
  switch (type_) {
    case Type::Null: return true;
    case Type::String:
    case Type::Bytes: return str_ == o.str_;
    case Type::Integer: return int_ == o.int_;
    case Type::Real: return real_ == o.real_ || (std::isnan(real_) && std::isnan(o.real_));
    case Type::Boolean: return bool_ == o.bool_;
    case Type::Array: return array_ == o.array_;
    case Type::Dictionary: return dict_ == o.dict_;
  }
  return false;
}

// ---- libplist conversion ----

namespace {

plist_t toPlist(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null:
      // A property list has no null; an empty string is the closest, but
      // callers never store null values (setting null removes).
      return plist_new_string("");
    case Value::Type::String: {
      // libplist takes a C string: text after an embedded NUL would be lost,
      // so keep what precedes it (a NUL cannot appear in an XML plist).
      return plist_new_string(v.asString().c_str());
    }
    case Value::Type::Integer:
      return plist_new_uint(static_cast<uint64_t>(v.asInteger()));
    case Value::Type::Real: return plist_new_real(v.asReal());
    case Value::Type::Boolean: return plist_new_bool(v.asBool() ? 1 : 0);
    case Value::Type::Bytes:
      return plist_new_data(v.asBytes().data(), v.asBytes().size());
    case Value::Type::Array: {
      plist_t a = plist_new_array();
      for (const auto& item : v.asArray()) plist_array_append_item(a, toPlist(item));
      return a;
    }
    case Value::Type::Dictionary: {
      plist_t d = plist_new_dict();
      for (const auto& e : v.asDictionary()) plist_dict_set_item(d, e.first.c_str(), toPlist(e.second));
      return d;
    }
  }
  return plist_new_string("");
}

std::optional<Value> fromPlist(plist_t node, int depth) {
  if (!node || depth > 512) return std::nullopt;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return Value(b != 0);
    }
    case PLIST_UINT: {
      uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return Value(static_cast<long long>(u));
    }
    case PLIST_UID: {
      uint64_t u = 0;
      plist_get_uid_val(node, &u);
      return Value(static_cast<long long>(u));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return Value(d);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
      uint64_t len = 0;
      const char* p = plist_get_string_ptr(node, &len);
      return Value(std::string(p ? p : "", p ? len : 0));
    }
    case PLIST_DATA: {
      uint64_t len = 0;
      const char* p = plist_get_data_ptr(node, &len);
      return Value::bytes(std::string(p ? p : "", p ? len : 0));
    }
    case PLIST_DATE: {
      // Seconds since 2001-01-01 (the property-list epoch) as a real.
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      return Value(static_cast<double>(sec) + usec / 1e6);
    }
    case PLIST_ARRAY: {
      Value::Array items;
      uint32_t n = plist_array_get_size(node);
      items.reserve(n);
      for (uint32_t i = 0; i < n; ++i) {
        auto item = fromPlist(plist_array_get_item(node, i), depth + 1);
        if (!item) return std::nullopt;
        items.push_back(std::move(*item));
      }
      return Value(std::move(items));
    }
    case PLIST_DICT: {
      Value d = Value::dictionary();
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      if (!it) return d;
      bool ok = true;
      for (;;) {
        char* key = nullptr;
        plist_t val = nullptr;
        plist_dict_next_item(node, it, &key, &val);
        if (!val) {
          std::free(key);
          break;
        }
        auto child = fromPlist(val, depth + 1);
        if (!child) {
          std::free(key);
          ok = false;
          break;
        }
        d.set(key ? key : "", std::move(*child));
        std::free(key);
      }
      std::free(it);
      if (!ok) return std::nullopt;
      return d;
    }
    default: return std::nullopt;
  }
}

}  // namespace

std::string Value::toXmlPlist() const {
  plist_t p = toPlist(*this);
  char* xml = nullptr;
  uint32_t len = 0;
  plist_to_xml(p, &xml, &len);
  std::string out = xml ? std::string(xml, len) : std::string();
  if (xml) plist_to_xml_free(xml);
  plist_free(p);
  return out;
}

std::optional<Value> Value::fromPlistBytes(std::string_view data) {
  if (data.empty() || data.size() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  plist_t p = nullptr;
  plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &p);
  if (!p) return std::nullopt;
  auto v = fromPlist(p, 0);
  plist_free(p);
  return v;
}

}  // namespace yx
