#pragma once
// What the student screens share: the web methods, the signed-in test, the
// way back to the Student menu and the result screens' artwork.

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/view_controller.h"

namespace yx {

// The student web methods.
inline constexpr const char* kCourseListMethod = "StuEleList2XML";
inline constexpr const char* kExamListMethod = "StuExamList2XML";
inline constexpr const char* kScoreMethod = "StuScoQueryList2XML";
inline constexpr const char* kCourseSerialMethod = "StuEleCosEleSeqList2XML";

// The refusal text that sends the student back to a fresh sign-in form.
inline constexpr const char* kWrongCredentials = "學號或密碼錯誤";

// A student is signed in while "學號" holds a number.
bool studentSignedIn();
// The stored number and password ("" when absent).
std::string storedStudentNumber();
std::string storedStudentPassword();

// Hands the signed URL of a student method for the stored (or given)
// number and password to a new result screen ("progressBar:") and pushes it
// without animation.
void openStudentResult(ViewController& from, const std::string& method, std::shared_ptr<ViewController> result,
                       const std::string& number, const std::string& password);

// Returns to the screen at `index` of the navigation stack (the Student menu
// is at index 1). Does nothing when the stack is not that deep.
void returnToIndex(ViewController& from, size_t index, bool animated);
// The result screens' way back: index 4 once the stack holds 6 or more
// screens (a second query was made from a result screen), else index 1.
void returnFromResult(ViewController& from, bool animated);

// Characters (code points) of a UTF-8 text, and the byte offset where its
// last `n` characters begin (0 when it has fewer).
size_t characterCount(const std::string& utf8);
size_t offsetOfLastCharacters(const std::string& utf8, size_t n);

// The buttons of the timetable and the course list: 3 pushes a new sign-in
// form for another query (not animated), 2 sends the usage exit report and
// returns from the result, 1 sends it and goes home.
void resultButton(ViewController& screen, int tag, const std::function<std::shared_ptr<ViewController>()>& newForm);

// The full-screen picture shown behind the progress alert while a result
// screen loads; removed when the load ends.
class LoadingBackdrop {
public:
  void show(View& over, double height);
  void remove();
  bool showing() const { return static_cast<bool>(view_); }

private:
  std::shared_ptr<View> view_;
};

}  // namespace yx
