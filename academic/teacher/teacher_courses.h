#pragma once
// The teacher's course list (我的授課表) and the rosters (修課學生).
//
// Both load the course list 0.1 s after they appear, with the signed values
// they were handed; without an answer they show the list kept from the last
// good one. Header: home 1, back 2; the reload action `reloadBtn`; the
// count label `countLbl`; the spinner `activityIndicator`.
//
// The roster list adds to each row the time its roster was last downloaded
// and an update button (`reloadCellPDFData`, tag = row); a row opens the
// roster, downloaded once into Documents/<course code>.pdf.

#include <memory>
#include <string>
#include <vector>

#include "academic/teacher/teacher_common.h"
#include "platform/http.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

// The shared shape of both lists: loading, alerts, count, rows.
class TeacherCourseListBase : public ViewController,
                              public TeacherServiceScreen,
                              public TableViewDataSource,
                              public TableViewDelegate,
                              public AlertViewDelegate {
public:
  void viewDidLoad() override;
  void btnEvent(int tag);
  // The reload action.
  virtual void reloadBtn();

  int tableViewNumberOfRowsInSection(TableView&, int section) override;
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

  const std::vector<TeacherCourse>& courses() const { return courses_; }
  const std::string& listURL() const { return url_; }

protected:
  virtual std::string title() const = 0;
  virtual double timeoutSeconds() const = 0;
  virtual double rowHeight() const = 0;
  // After a list was parsed (from the answer or the cache).
  virtual void didLoadCourses() {}
  void load();
  void showCourses();
  std::shared_ptr<Label> rowLabel(View& into, const char* name, Rect frame, double font, Color color);

  std::string url_;
  std::vector<TeacherCourse> courses_;
  std::shared_ptr<TableView> table_;
  std::shared_ptr<Label> countLbl_;
  std::shared_ptr<ActivityIndicator> indicator_;
};

class teacherEleListViewController : public TeacherCourseListBase {
public:
  std::string className() const override { return "teacherEleListViewController"; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override;

protected:
  std::string title() const override { return "我的授課表"; }
  double timeoutSeconds() const override { return 30; }
  double rowHeight() const override { return 80; }
};

class teacherEleStuViewController : public TeacherCourseListBase {
public:
  ~teacherEleStuViewController() override;
  std::string className() const override { return "teacherEleStuViewController"; }
  void viewWillAppear(bool animated) override;
  void reloadBtn() override;

  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override;
  void tableViewDidSelectRow(TableView&, IndexPath ip) override;
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  // The update button of a row.
  void reloadCellPDFData(int row);
  const std::vector<std::string>& lastUpdate() const { return lastUpdate_; }

protected:
  std::string title() const override { return "修課學生"; }
  double timeoutSeconds() const override { return 60; }
  double rowHeight() const override { return 90; }
  void didLoadCourses() override;

private:
  void storeLastUpdate();
  std::vector<std::string> lastUpdate_;
  bool alertShowing_ = false;   // an update alert is up
  bool rostersDeleted_ = false; // right after the reload action
  std::string openCode_;        // the course a row tap opens
  std::weak_ptr<AlertView> updateAlert_;
  std::vector<std::shared_ptr<HttpTransfer>> updates_;
};

// Shows one roster: downloaded into Documents once, then read from there.
// Header: home 1, back 2.
class teacherEleStuShowPDFViewController : public ViewController, public TeacherServiceScreen, public WebViewDelegate {
public:
  std::string className() const override { return "teacherEleStuShowPDFViewController"; }
  void setSubjectNo(std::string code) { subjectNo_ = std::move(code); }
  const std::string& subjectNo() const { return subjectNo_; }
  void viewDidLoad() override;
  void btnEvent(int tag);

  void webViewDidFinishLoad(WebView&) override;
  void webViewDidFailLoadWithError(WebView&, const std::string&) override;

private:
  void show();
  std::string subjectNo_;
  std::shared_ptr<WebView> web_;
  std::shared_ptr<ActivityIndicator> indicator_;
};

// A roster download: the PDF written to Documents/<code>.pdf, replacing the
// old one, only when the answer is a PDF (2xx, "%PDF-" near the start).
bool storeRoster(const std::string& courseCode, long status, const std::string& body);

}  // namespace yx
