#include "academic/student/exam_scores.h"

#include "academic/student/student_sign_in.h"
#include "core/screen_kit.h"
#include "platform/ui/common_views.h"

namespace yx {

std::string scoreTitleFor(const std::string& examKind) {
  if (examKind == "M") return "期中成績";
  if (examKind == "F") return "期末成績";
  if (examKind == "G") return "畢業考成績";
  return {};
}

Color scoreColor(const std::string& score) {
  return FeedLoaderViewController::intValue(score) < 60 ? Color::rgb(255, 0, 0) : Color::rgb(0, 0, 255);
}

// --------------------------------------------------------------------- cell

examScoreCell::examScoreCell() : TableViewCell(Style::Default, "scoreCell") {
  nameLbl = make<Label>(Rect{12, 5, 220, 24});
  nameLbl->setName("nameLbl");
  nameLbl->setFont(17, true);
  sbjnoLbl = make<Label>(Rect{12, 30, 220, 20});
  sbjnoLbl->setName("sbjnoLbl");
  sbjnoLbl->setFont(14);
  sbjnoLbl->setTextColor(Color::gray(0.35f));
  scoreLbl = make<Label>(Rect{232, 10, 76, 34});
  scoreLbl->setName("scoreLbl");
  scoreLbl->setFont(24, true);
  scoreLbl->setAlignment(TextAlignment::Right);
  scoreLbl->setAutoresizingMask(Autoresizing::FlexibleLeftMargin);
  for (auto& l : {nameLbl, sbjnoLbl, scoreLbl}) contentView().addSubview(l);
}

// ------------------------------------------------------------------- screen

const std::vector<std::string>& examScoreXMLViewController::fields() {
  static const std::vector<std::string> f = {"科目名稱", "學分數", "成績"};
  return f;
}

void examScoreXMLViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  auto bar = addHeaderBar(*this, "期中期末成績", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_p1.jpg");
  titleLabel_ = std::static_pointer_cast<Label>(bar->viewNamed("titleLabel")->shared_from_this());

  tableView_ = addTable(view(), areaBelow(44), "tableView", this, this);
  tableView_->setRowHeight(55);
}

void examScoreXMLViewController::btnEvent(int tag) {
  if (tag != 1 && tag != 2) return;
  if (scoresReportExit()) startUsageExitReport();
  if (tag == 1) goHome(*this, false);
  else returnFromResult(*this, true);
}

int examScoreXMLViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(shown_.size());
}

std::shared_ptr<TableViewCell> examScoreXMLViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = std::dynamic_pointer_cast<examScoreCell>(table.dequeueReusableCellWithIdentifier("scoreCell"));
  if (!cell) cell = std::make_shared<examScoreCell>();
  const Value& r = shown_.size() > static_cast<size_t>(ip.row) ? shown_[static_cast<size_t>(ip.row)] : Value();
  cell->nameLbl->setText(r.stringFor("科目名稱"));
  cell->sbjnoLbl->setText("學分數: " + r.stringFor("學分數"));
  cell->scoreLbl->setText(r.stringFor("成績"));
  cell->scoreLbl->setTextColor(scoreColor(r.stringFor("成績")));
  return cell;
}

void examScoreXMLViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
}

// ------------------------------------------------------------------ loading

std::shared_ptr<ViewController> examScoreXMLViewController::makeSignInForm() {
  return std::make_shared<examScoreViewController>();
}

const std::vector<std::string>& examScoreXMLViewController::refusalElements() const {
  static const std::vector<std::string> e = {"錯誤訊息", "Error_Msg"};
  return e;
}

void examScoreXMLViewController::didReadText(const std::string& element, const std::string& text) {
  if (element != "考試別" || !titleLabel_) return;
  std::string title = scoreTitleFor(text);
  if (!title.empty()) titleLabel_->setText(title);
}

void examScoreXMLViewController::documentDidEnd() {
  shown_ = records();
  if (tableView_) tableView_->reloadData();
}

}  // namespace yx
