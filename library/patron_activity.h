#pragma once
// The patron's account as the library catalogue answers it: the one request
// that fetches it, the cached copy in the settings store, and reading it.
//
// The answer (the Patron activity document) is XML with one or more
// "patron" elements; the last one's "error" child carries a refusal text.
// Items on loan are "//patron/checkouts/checkout", holds are
// "//patron/requests/request". A missing child reads as empty text, so the
// lists built from it always stay parallel.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yx {

class DomDocument;

namespace library {

// Settings-store keys of the patron's library account.
inline constexpr const char* kLibID = "libID";
inline constexpr const char* kLibPW = "libPW";
inline constexpr const char* kLibData = "libData";

// Characters (not bytes) in a UTF-8 text.
std::size_t characterCount(std::string_view utf8);

// The barcode the catalogue knows a typed ID by: an ID of exactly six
// characters is sent with "000" in front, any other as typed.
std::string barcodeFor(const std::string& typedId);

// The form body of the patron-activity request, each value escaped as a
// form component so that no character of a password can add, cut or change
// a field.
std::string patronActivityBody(const std::string& barcode, const std::string& password);

// Sends the patron-activity request (a blocking POST, 60-second time-out)
// and stores the answer's body under "libData" at once, as bytes; a request
// that failed (no connection, cut answer, answer over the size limit)
// removes "libData". Returns the stored body, or nothing on failure.
std::optional<std::string> requestPatronActivity(const std::string& barcode, const std::string& password);

// The cached document ("libData"), or nothing when none is stored.
std::optional<std::string> storedPatronData();

// The password of the logged-in patron ("" when logged out).
std::string storedPassword();
std::string storedID();

struct Checkout {
  std::string dueDate, title, status, barcode, format, bibId;
};

struct HoldRequest {
  std::string title, dueDate, pickupLocation, format, bibId;
};

// A parsed Patron activity document.
class PatronActivity {
public:
  // Nothing when the bytes are not XML, or are XML without any "patron"
  // element (a proxy's or a portal's page is no answer from the catalogue).
  static std::optional<PatronActivity> parse(std::string_view bytes);

  // The string value of the last patron element's first "error" child;
  // nothing when that element has none (or it holds no text).
  std::optional<std::string> errorText() const;
  std::vector<Checkout> checkouts() const;
  std::vector<HoldRequest> requests() const;

private:
  std::shared_ptr<DomDocument> doc_;
};

}  // namespace library
}  // namespace yx
