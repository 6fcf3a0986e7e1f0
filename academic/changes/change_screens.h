#pragma once
// The course-change screens students and teachers share, each given the
// texts, names and rules of its side (`ChangeScreensConfig`):
//
//   entry      announces the new temporary changes of the user's courses
//              (0.1 s after it loads) and leads on: tag 2 the temporary
//              changes, 3 the whole-semester changes, 4 the Q&A; 0 home,
//              1 back. The new-data mark `newMark` shows while recorded
//              changes wait to be opened.
//   semester   the whole-semester changes of the user's courses, one section
//              each, scrolled to the first one of this month.
//   temporary  the recorded temporary changes, and clearing them.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "academic/course_changes.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

struct ChangeScreensConfig {
  const ChangeUserKind* kind = nullptr;
  std::string pattern;            // header and background pattern
  std::string temporaryUsage;     // "暫時-學生" / "暫時-老師"
  std::string semesterUsage;      // "整學期-學生" / "整學期-老師"
  std::string semesterSegue;      // "Semester" / "semester"
  std::string semesterCell;       // reuse identifiers
  std::string temporaryCell;
  std::string noSemesterTitle, noSemesterMessage;
  std::string noTemporaryTitle, noTemporaryMessage;
  int semesterHomeTag = 1, semesterBackTag = 2;
  std::string identityCaption;    // "學號" / "教師代號"

  static const ChangeScreensConfig& student();
  static const ChangeScreensConfig& teacher();
};

// One change in a row: 系級 and 異動 wrap over as many lines as they need.
class ChangeCell : public TableViewCell {
public:
  explicit ChangeCell(const std::string& reuseIdentifier);
  void show(const std::string& department, const std::string& subject, const std::string& teacher,
            const std::string& before, const std::string& after);
  static constexpr double kHeight = 118;

private:
  std::shared_ptr<Label> departmentLbl_, subjectNameLbl_, teacherNameLbl_, beforeDataLbl_, afterDataLbl_;
};
class semesterCell : public ChangeCell {
public:
  semesterCell() : ChangeCell("semesterCell") {}
};
class temporaryCell : public ChangeCell {
public:
  temporaryCell() : ChangeCell("temporaryCell") {}
};
class teacherSemesterCell : public ChangeCell {
public:
  teacherSemesterCell() : ChangeCell("teacherSemesterCell") {}
};
class teacherTemporaryCell : public ChangeCell {
public:
  teacherTemporaryCell() : ChangeCell("temporaryCell") {}
};

// ------------------------------------------------------------------- entry

class ChangeEntryViewController : public ViewController {
public:
  explicit ChangeEntryViewController(const ChangeScreensConfig& config) : config_(config) {}
  void viewDidLoad() override;
  void btnEvent(int tag);

  const ChangeRecords* records() const { return records_ ? &*records_ : nullptr; }
  bool newMarkShown() const;

protected:
  // Back (tag 1): the screen index to return to.
  virtual size_t backIndex() const = 0;
  // The user's course numbers the refresh matches against.
  virtual std::optional<std::vector<std::string>> courseNumbers() const;

  // Shows the mark when the flag says recorded changes wait to be opened.
  void showMarkFromFlag();
  // Loads the user's records, applies the semester-start reset, and 0.1 s
  // later refreshes from the temporary-change feed.
  void startRecords(const std::string& identity);
  // The refresh: announces the new changes; the mark shows and the flag says
  // "NO" when there were any.
  void refreshFromFeed();

  const ChangeScreensConfig& config_;
  std::optional<ChangeRecords> records_;
  std::shared_ptr<ImageView> newMark_;
  std::shared_ptr<Label> userLbl_;
};

// ---------------------------------------------------------------- semester

class SemesterChangesViewController : public ViewController,
                                      public TableViewDataSource,
                                      public TableViewDelegate,
                                      public AlertViewDelegate {
public:
  explicit SemesterChangesViewController(const ChangeScreensConfig& config) : config_(config) {}
  void viewDidLoad() override;
  void btnEvent(int tag);

  int numberOfSectionsInTableView(TableView&) override;
  int tableViewNumberOfRowsInSection(TableView&, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath ip) override;
  void alertViewClickedButtonAtIndex(AlertView&, int index) override;

  const std::vector<CourseChange>& changes() const { return changes_; }

private:
  void load();
  const ChangeScreensConfig& config_;
  std::vector<CourseChange> changes_;
  std::shared_ptr<TableView> table_;
  int currentMonthSection_ = 0;  // 0: none remembered yet
};

// --------------------------------------------------------------- temporary

class TemporaryChangesViewController : public ViewController,
                                       public TableViewDataSource,
                                       public TableViewDelegate,
                                       public AlertViewDelegate {
public:
  explicit TemporaryChangesViewController(const ChangeScreensConfig& config) : config_(config) {}
  void viewDidLoad() override;
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath ip) override;
  void alertViewClickedButtonAtIndex(AlertView&, int index) override;

private:
  std::string listKey(const std::string& suffix) const;
  const ChangeScreensConfig& config_;
  std::string identity_;
  std::shared_ptr<TableView> table_;
  std::weak_ptr<AlertView> confirm_, empty_;
};

// -------------------------------------------------------------------- Q&A

// What the notices are, when they come, and how to have them with the
// window closed.
class changeNoticeQAViewController : public ViewController {
public:
  std::string className() const override { return "changeNoticeQAViewController"; }
  void viewDidLoad() override;
  static std::string text();
};

// Back to the screen at `index` of the stack (animated), when it is there.
void popToIndex(ViewController& from, size_t index);

}  // namespace yx
