#pragma once
// The Academic web service: GET "/emisappws/AppWebService.asmx/<method>"
// (also after a doubled slash), each request signed by the client. A
// request passes three checks, in order:
//   fields     the identity field (pStuNo, pTeachNo), pKey, pChksum, pPass
//              and the method's extra fields are all there  ("參數不足")
//   signature  pKey is seven digits and pChksum is the checksum of the
//              identity field and pKey (the clock is not checked) ("驗證碼錯誤")
//   password   the number is an account of the method's group in
//              accounts.json and the password encoding of pPass is its
//              password                                ("學號或密碼錯誤" ...)
// A refused request gets status 200 and the refusal as the method's record
// element holding the method's refusal text element. An accepted one gets the
// keyed answer "<path>@<key field>=<value>" when there is one, else the
// method's own file (the generic answer). The log's "check" says "ok" or
// which check refused it.
//
// Each method is one row of academicMethods(); the teacher methods are rows
// too.

#include <optional>
#include <string>
#include <vector>

#include "sim/services.h"

namespace yx::sim {

struct AcademicMethod {
  std::string name;                     // "StuExamList2XML"
  std::string identityField;            // "pStuNo" / "pTeachNo"
  std::string keyField;                 // the field keyed answers depend on
  std::string recordElement;            // the refusal's record element
  std::string errorElement;             // the refusal's text element
  std::string accountGroup;             // "students" / "teachers"
  std::vector<std::string> extraFields; // further required fields
  // The answer's content type; answers of other types than XML are served
  // byte for byte (no placeholders filled).
  std::string contentType = "text/xml; charset=utf-8";
};

const std::vector<AcademicMethod>& academicMethods();

// The refusal text for a wrong number or password of an account group.
std::string wrongCredentialsText(const std::string& accountGroup);

// "/emisappws/AppWebService.asmx/<method>"
std::string academicPath(const std::string& method);

// The service kind "academic" (routes and keyed paths built from the rows).
ServiceKind academicService();

// The service's own reading of the signing rules, as a server does it.
namespace academic {
// The checksum the service expects for a number and a time key.
std::string expectedChecksum(const std::string& number, const std::string& key);
// The password encoding (its own inverse) of a UTF-8 text; nothing when the
// text is not UTF-8.
std::optional<std::string> passwordEncoding(const std::string& utf8);
}  // namespace academic

}  // namespace yx::sim
