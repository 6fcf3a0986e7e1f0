#pragma once
// The property-list value model: what the settings store, the feed caches and
// the course caches hold. A Value is one of null, string, integer, real,
// boolean, bytes, array or dictionary. Dictionaries keep their insertion
// order (feed records are written in feed order and read back by key).
//
// Serialisation goes through libplist: XML and binary property lists are
// read, XML is written.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yx {

class Value {
public:
  enum class Type { Null, String, Integer, Real, Boolean, Bytes, Array, Dictionary };
  using Array = std::vector<Value>;
  using Entry = std::pair<std::string, Value>;
  using Entries = std::vector<Entry>;

  Value() = default;                         // null
  Value(std::string s);                      // string
  Value(const char* s);                      // string
  Value(std::string_view s);                 // string
  Value(int v) : type_(Type::Integer), int_(v) {}
  Value(long v) : type_(Type::Integer), int_(v) {}
  Value(long long v) : type_(Type::Integer), int_(v) {}
  Value(unsigned v) : type_(Type::Integer), int_(v) {}
  Value(unsigned long v) : type_(Type::Integer), int_(static_cast<long long>(v)) {}
  Value(unsigned long long v) : type_(Type::Integer), int_(static_cast<long long>(v)) {}
  Value(double v) : type_(Type::Real), real_(v) {}
  Value(bool v) : type_(Type::Boolean), bool_(v) {}
  Value(Array items);                        // array

  static Value bytes(std::string data);
  static Value array(std::initializer_list<Value> items = {});
  static Value dictionary(std::initializer_list<Entry> entries = {});
  // Array of strings, the shape many settings keys hold.
  static Value stringArray(const std::vector<std::string>& items);

  Type type() const { return type_; }
  bool isNull() const { return type_ == Type::Null; }
  bool isString() const { return type_ == Type::String; }
  bool isInteger() const { return type_ == Type::Integer; }
  bool isReal() const { return type_ == Type::Real; }
  bool isNumber() const { return isInteger() || isReal(); }
  bool isBool() const { return type_ == Type::Boolean; }
  bool isBytes() const { return type_ == Type::Bytes; }
  bool isArray() const { return type_ == Type::Array; }
  bool isDictionary() const { return type_ == Type::Dictionary; }

  // Accessors never throw: the wrong kind gives an empty string, 0, false or
  // an empty array/dictionary.
  const std::string& asString() const;   // string (or bytes) content
  const std::string& asBytes() const;    // bytes (or string) content
  long long asInteger() const;           // integer, real truncated, bool 0/1
  double asReal() const;                 // real, integer, bool 0/1
  bool asBool() const;                   // bool, non-zero number
  const Array& asArray() const;
  const Entries& asDictionary() const;

  // Arrays. append() turns a null value into an empty array first.
  std::size_t size() const;  // items of an array, entries of a dictionary, else 0
  const Value& operator[](std::size_t index) const;  // null when out of range
  Value& append(Value item);
  Array& arrayItems();  // mutable items; turns a null value into an array

  // Dictionaries. set() replaces in place (keeping the key's position) or
  // appends; set() turns a null value into an empty dictionary first.
  const Value* find(std::string_view key) const;
  const Value& get(std::string_view key) const;  // null value when absent
  // The string under key; empty when absent or not a string.
  const std::string& stringFor(std::string_view key) const;
  bool contains(std::string_view key) const { return find(key) != nullptr; }
  Value& set(std::string key, Value v);
  bool erase(std::string_view key);
  std::vector<std::string> keys() const;

  bool operator==(const Value& other) const;
  bool operator!=(const Value& other) const { return !(*this == other); }

  // An XML property list ("<?xml ...><plist version=\"1.0\">...").
  // Empty when libplist cannot serialise (should not happen).
  std::string toXmlPlist() const;
  // Reads an XML or binary property list. Nothing for malformed data.
  static std::optional<Value> fromPlistBytes(std::string_view data);

private:
  Type type_ = Type::Null;
  long long int_ = 0;
  double real_ = 0;
  bool bool_ = false;
  std::string str_;   // string or bytes
  Array array_;
  Entries dict_;
};

}  // namespace yx
