#include "sim/academic_service.h"

#include <locale.h>
#include <glib.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <optional>

namespace yx::sim {

namespace {

const std::string kMethodFolder = "/emisappws/AppWebService.asmx/";

std::string xmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string md5Hex(const std::string& bytes) {
  gchar* hex = g_compute_checksum_for_data(G_CHECKSUM_MD5, reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
  if (!hex) return {};
  std::string out(hex);
  g_free(hex);
  return out;
}

// A decimal number at the start of the text after blanks: sign, digits,
// fraction, exponent. No digits (and so hex, "inf", "nan"): 0.
double leadingDecimal(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  size_t start = i, digits = 0;
  auto isDigit = [&](size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (isDigit(i)) ++i, ++digits;
  if (i < s.size() && s[i] == '.')
    for (++i; isDigit(i); ++i) ++digits;
  if (!digits) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (isDigit(j)) {
      while (isDigit(j)) ++j;
      i = j;
    }
  }
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return strtod_l(s.substr(start, i - start).c_str(), nullptr, c);
}

SimReply xmlReply(std::string body, std::string check) {
  SimReply r;
  r.body = std::move(body);
  r.contentType = "text/xml; charset=utf-8";
  r.check = std::move(check);
  return r;
}

SimReply refusal(const AcademicMethod& m, const std::string& text, const std::string& check) {
  return xmlReply("<?xml version=\"1.0\" encoding=\"utf-8\"?><NewDataSet><" + m.recordElement + "><" + m.errorElement +
                      ">" + xmlEscape(text) + "</" + m.errorElement + "></" + m.recordElement + "></NewDataSet>",
                  check);
}

const std::string* field(const SimRequest& r, const std::string& name) {
  auto it = r.query.find(name);
  return it == r.query.end() ? nullptr : &it->second;
}

SimReply answerMethod(const AcademicMethod& m, const std::string& folder, const SimRequest& r,
                      const SimContext& ctx) {
  std::vector<std::string> required = {m.identityField, "pKey", "pChksum", "pPass"};
  required.insert(required.end(), m.extraFields.begin(), m.extraFields.end());
  for (const auto& name : required)
    if (!field(r, name)) return refusal(m, "參數不足", "fields");

  const std::string& number = *field(r, m.identityField);
  const std::string& key = *field(r, "pKey");
  bool keyOk = key.size() == 7;
  for (char c : key) keyOk = keyOk && c >= '0' && c <= '9';
  if (!keyOk || *field(r, "pChksum") != academic::expectedChecksum(number, key))
    return refusal(m, "驗證碼錯誤", "signature");

  bool passwordOk = false;
  if (auto accounts = ctx.accounts(folder)) {
    const auto group = accounts->find(m.accountGroup);
    if (group != accounts->end() && group->is_object()) {
      const auto account = group->find(number);
      if (account != group->end() && account->is_object() && account->contains("password") &&
          (*account)["password"].is_string()) {
        auto typed = academic::passwordEncoding(*field(r, "pPass"));
        passwordOk = typed && *typed == (*account)["password"].get<std::string>();
      }
    }
  }
  if (!passwordOk) return refusal(m, wrongCredentialsText(m.accountGroup), "password");

  const std::string path = academicPath(m.name);
  const bool xml = m.contentType.rfind("text/xml", 0) == 0;
  std::optional<std::string> body;
  if (const std::string* value = field(r, m.keyField))
    body = xml ? ctx.keyedFile(folder, path, m.keyField, *value)
               : ctx.data().read(folder, path + "@" + m.keyField + "=" + keyedValue(*value));
  if (!body) body = xml ? ctx.file(folder, path) : ctx.data().read(folder, path);
  if (!body) {
    SimReply missing{404, "Not Found\n", "text/plain; charset=utf-8", {}, "ok"};
    return missing;
  }
  SimReply reply = xmlReply(std::move(*body), "ok");
  reply.contentType = m.contentType;
  return reply;
}

}  // namespace

const std::vector<AcademicMethod>& academicMethods() {
  static const std::vector<AcademicMethod> methods = {
      {"StuEleList2XML", "pStuNo", "pStuNo", "stu_ele_table", "Error_Msg", "students", {}},
      {"StuExamList2XML", "pStuNo", "pStuNo", "stu_exam_table", "Error_Msg", "students", {}},
      {"StuScoQueryList2XML", "pStuNo", "pStuNo", "stu_scoquery_table", "錯誤訊息", "students", {}},
      {"StuEleCosEleSeqList2XML", "pStuNo", "pStuNo", "stu_ele_table", "Error_Msg", "students", {}},
      {"TeachEleList2XML", "pTeachNo", "pTeachNo", "Teach_Ele_List", "錯誤訊息", "teachers", {}},
      {"TeachEleCosEleSeqList2XML", "pTeachNo", "pTeachNo", "Teach_Ele_List", "Error_Msg", "teachers", {}},
      // The roster is the PDF document itself; a course without one is 404.
      {"TeachEleStuPDF2XML", "pTeachNo", "pCosNo", "Teach_Ele_List", "錯誤訊息", "teachers", {"pCosNo"},
       "application/pdf"},
  };
  return methods;
}

std::string wrongCredentialsText(const std::string& accountGroup) {
  return accountGroup == "teachers" ? "教師代號或密碼錯誤" : "學號或密碼錯誤";
}

std::string academicPath(const std::string& method) { return kMethodFolder + method; }

ServiceKind academicService() {
  ServiceKind kind{"academic", "academic", {"GET", "HEAD"}, {}, {}};
  for (const AcademicMethod& m : academicMethods()) {
    const std::string path = academicPath(m.name);
    auto handler = [&m, folder = kind.folder](const SimRequest& r, const SimContext& ctx) {
      return answerMethod(m, folder, r, ctx);
    };
    // Student URLs put a doubled slash after the host; both forms answer.
    kind.routes.push_back({"GET", path, handler});
    kind.routes.push_back({"GET", "/" + path, handler});
    kind.keyFields.push_back({path, m.keyField});
  }
  return kind;
}

// ------------------------------------------------------------------ signing

namespace academic {

std::string expectedChecksum(const std::string& number, const std::string& key) {
  const double n = leadingDecimal(number), k = leadingDecimal(key);
  const double v = (n * 863.0 + n * k) + k * (-271.0);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%f", v);
  std::string text = buf;
  text = text.size() >= 7 ? text.substr(0, text.size() - 7) : std::string();
  return md5Hex(text).substr(0, 5);
}

std::optional<std::string> passwordEncoding(const std::string& s) {
  // UTF-8 to code points, each code unit's low five bits reversed, back.
  std::vector<std::uint32_t> units;
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 9;
    if (n == 9 || i + n >= s.size()) return std::nullopt;
    std::uint32_t cp = n == 0 ? c : n == 1 ? (c & 0x1F) : n == 2 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k <= n; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc >> 6) != 0x2) return std::nullopt;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if ((n == 1 && cp < 0x80) || (n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return std::nullopt;
    if (cp >= 0x10000) {
      units.push_back(0xD800 + ((cp - 0x10000) >> 10));
      units.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      units.push_back(cp);
    }
    i += n + 1;
  }
  std::string out;
  auto put = [&out](std::uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  };
  for (auto& u : units) {
    std::uint32_t low = u & 0x1F, rev = 0;
    for (int b = 0; b < 5; ++b)
      if (low & (1u << b)) rev |= 1u << (4 - b);
    u = (u & ~0x1Fu) | rev;
  }
  for (size_t k = 0; k < units.size(); ++k) {
    if (units[k] >= 0xD800 && units[k] <= 0xDBFF && k + 1 < units.size()) {
      put(0x10000 + ((units[k] - 0xD800) << 10) + (units[k + 1] - 0xDC00));
      ++k;
    } else {
      put(units[k]);
    }
  }
  return out;
}

}  // namespace academic

}  // namespace yx::sim
