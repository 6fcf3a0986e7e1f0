#include "academic/teacher/teacher_common.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "academic/signing.h"
#include "core/deployment.h"
#include "markup/dom.h"
#include "platform/escape.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/settings.h"

namespace yx {

TeacherHandover teacherHandover(const std::string& number, const std::string& encodedPassword) {
  RequestSignature sig = signRequest(number);
  return TeacherHandover{number, encodedPassword, sig.key, sig.checksum};
}

bool teacherSignedIn() { return !Settings::standard().stringForKey("teacherID").value_or("").empty(); }

std::string teacherURL(const std::string& method, const TeacherHandover& h,
                       const std::optional<std::string>& courseCode) {
  std::string query = "pTeachNo=" + componentEscape(h.idStr) + "&pKey=" + componentEscape(h.key) +
                      "&pChksum=" + componentEscape(h.checkSum) + "&pPass=" + componentEscape(h.pwStr);
  if (courseCode) query += "&pCosNo=" + componentEscape(*courseCode);
  try {
    return academicURL(method, query, /*doubledSlash=*/false);
  } catch (const DeploymentError&) {
    return {};
  }
}

// -------------------------------------------------------------- course list

namespace {

std::string firstChildText(const DomElementPtr& e, const char* name) {
  auto list = e->elementsForName(name);
  if (!list || list->empty()) return {};
  return (*list)[0]->stringValue().value_or("");
}

bool hasChild(const DomElementPtr& e, const char* name) {
  auto list = e->elementsForName(name);
  return list && !list->empty();
}

}  // namespace

TeacherCourseAnswer parseTeacherCourseList(std::string_view bytes) {
  TeacherCourseAnswer a;
  auto doc = DomDocument::initWithData(bytes);
  if (!doc) return a;
  a.wellFormed = true;
  auto nodes = doc->nodesForXPath("//NewDataSet/Teach_Ele_List");
  if (!nodes) return a;
  for (auto& node : *nodes) {
    auto e = node->asElement();
    if (!e) continue;
    for (const char* refusal : {"錯誤訊息", "Error_Msg"})
      if (hasChild(e, refusal)) {
        a.refusal = firstChildText(e, refusal);
        return a;
      }
    a.courses.push_back({firstChildText(e, "科目代號"), firstChildText(e, "科目名稱"),
                         firstChildText(e, "星期教室節次"), firstChildText(e, "學生人數")});
  }
  return a;
}

TeacherCourseLoad loadTeacherCourseList(const std::string& url, const TeacherHandover& h, double timeoutSeconds) {
  TeacherCourseLoad load;
  auto cacheName = documentFileName(h.idStr);
  std::string cache = cacheName ? Files::join(Files::documentsDirectory(), *cacheName) : std::string();

  HttpResult r = url.empty() ? HttpResult{} : httpGet(url, timeoutSeconds);
  bool answered = r.ok && r.status >= 200 && r.status <= 299;
  std::string bytes;
  if (answered) {
    bytes = std::move(r.body);
  } else {
    // No answer: the list kept from the last good one, when there is one.
    auto cached = cache.empty() || Files::isDirectory(cache) ? std::nullopt : Files::readFile(cache);
    if (!cached) {
      load.outcome = TeacherCourseLoad::Outcome::NoData;
      return load;
    }
    bytes = std::move(*cached);
  }
  TeacherCourseAnswer a = parseTeacherCourseList(bytes);
  if (!a.wellFormed) {
    load.outcome = TeacherCourseLoad::Outcome::Malformed;
    return load;
  }
  if (a.refusal) {
    load.outcome = TeacherCourseLoad::Outcome::Refused;
    load.refusal = *a.refusal;
    return load;
  }
  load.courses = std::move(a.courses);
  if (!answered) {
    load.outcome = TeacherCourseLoad::Outcome::FromCache;
    return load;
  }
  if (!cache.empty() && !Files::isDirectory(cache)) Files::writeFileAtomically(cache, bytes, 0600);
  auto& s = Settings::standard();
  s.setString("teacherID", h.idStr);
  s.setString("teacherPW", h.pwStr);
  load.outcome = TeacherCourseLoad::Outcome::Shown;
  return load;
}

// -------------------------------------------------------------------- files

std::optional<std::string> documentFileName(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '/' || c == '\\' || c == '%' || c < 0x20 || c == 0x7f || (i == 0 && c == '.')) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  if (out.empty() || out.size() > 255) return std::nullopt;
  return out;
}

std::optional<std::string> rosterPath(const std::string& courseCode) {
  auto name = documentFileName(courseCode);
  if (!name || name->size() + 4 > 255) return std::nullopt;
  return Files::join(Files::documentsDirectory(), *name + ".pdf");
}

void deleteRosterFiles() {
  std::string docs = Files::documentsDirectory();
  DIR* d = ::opendir(docs.c_str());
  if (!d) return;
  std::vector<std::string> doomed;
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".pdf") != 0) continue;
    struct stat st {};
    std::string path = Files::join(docs, name);
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) doomed.push_back(path);
  }
  ::closedir(d);
  for (auto& p : doomed) ::unlink(p.c_str());
}

bool looksLikePdf(std::string_view bytes) { return bytes.substr(0, 1024).find("%PDF-") != std::string_view::npos; }

size_t teacherBackIndex(const ViewController& vc) {
  auto* nav = vc.navigationController();
  size_t depth = nav ? nav->depth() : 0;
  return depth == 6 || depth == 7 ? 4 : 1;
}

}  // namespace yx
