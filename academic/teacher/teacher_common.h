#pragma once
// What the teacher screens share: the signed values handed from the Teacher
// menu or the sign-in form to a service screen, the teacher URLs, the course
// list answer and its offline copy, the way back, and the files kept in
// Documents (the cached answer, the roster PDFs).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx {

inline constexpr const char* kTeacherCourseListMethod = "TeachEleList2XML";
inline constexpr const char* kTeacherCourseSerialMethod = "TeachEleCosEleSeqList2XML";
inline constexpr const char* kTeacherRosterMethod = "TeachEleStuPDF2XML";

// The signed values a service screen builds its URLs from: the teacher
// number, the encoded password (not escaped), the time key and checksum.
struct TeacherHandover {
  std::string idStr, pwStr, key, checkSum;
};

// Signs the number with one reading of the clock.
TeacherHandover teacherHandover(const std::string& number, const std::string& encodedPassword);
// A service screen takes its hand-over values through this.
class TeacherServiceScreen {
public:
  virtual ~TeacherServiceScreen() = default;
  void setHandover(TeacherHandover h) { handover_ = std::move(h); }
  const TeacherHandover& handover() const { return handover_; }

protected:
  TeacherHandover handover_;
};

// A teacher is signed in while "teacherID" holds a number.
bool teacherSignedIn();

// The URL of a teacher method: base URL, one slash, the method's path and
// "pTeachNo=…&pKey=…&pChksum=…&pPass=…" (and "&pCosNo=…"), every value
// escaped as a query component. Empty when no academic server is set.
std::string teacherURL(const std::string& method, const TeacherHandover& h,
                       const std::optional<std::string>& courseCode = std::nullopt);

// One course of the course-list answer.
struct TeacherCourse {
  std::string code, name, times, students;
};
// The course-list answer: the "//NewDataSet/Teach_Ele_List" elements in
// order, up to a refusal ("錯誤訊息" first, else "Error_Msg").
struct TeacherCourseAnswer {
  bool wellFormed = false;
  std::optional<std::string> refusal;
  std::vector<TeacherCourse> courses;  // those before the refusal
};
TeacherCourseAnswer parseTeacherCourseList(std::string_view bytes);

// The course list as a screen loads it: fetched, else read from the cached
// answer in Documents (named by the teacher number). The cache is written
// only from an answer that parsed without refusal, and only such an answer
// signs the teacher in ("teacherID", "teacherPW"); an answer read from the
// cache never does.
struct TeacherCourseLoad {
  enum class Outcome { Shown, FromCache, Refused, NoData, Malformed } outcome = Outcome::NoData;
  std::vector<TeacherCourse> courses;
  std::string refusal;
};
TeacherCourseLoad loadTeacherCourseList(const std::string& url, const TeacherHandover& h, double timeoutSeconds);

// A file name in Documents from typed or server text: kept when safe; "/",
// "\\", "%", NUL and control characters written as %XX, a leading "." as
// %2E. Nothing for an empty name or one over 255 bytes.
std::optional<std::string> documentFileName(std::string_view text);
// Documents/<documentFileName(code)>.pdf, or nothing.
std::optional<std::string> rosterPath(const std::string& courseCode);
// Deletes the regular files and links named "*.pdf" directly in Documents
// (a link itself, never what it points to; no folders, nothing deeper).
void deleteRosterFiles();

// Whether bytes are a PDF document ("%PDF-" within the first 1,024 bytes).
bool looksLikePdf(std::string_view bytes);

// The teacher screens' way back: index 4 when the stack holds exactly 6 or
// 7 screens, else index 1.
size_t teacherBackIndex(const ViewController& vc);

}  // namespace yx
