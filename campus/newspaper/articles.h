#pragma once
// The newspaper's article screens, Chinese (chiNewsDetailViewController) and
// English (engNewsDetailViewController): the headline above a scroll area
// holding up to three pictures with captions and the body, a pinch on the
// body to change its size, and a full-screen zoomable picture.

#include <memory>
#include <string>
#include <vector>

#include "campus/newspaper/times_kit.h"
#include "platform/ui/view_controller.h"

namespace yx {

class ArticleViewController : public ViewController {
public:
  void viewDidLoad() override;
  // 2 and 3 back (the scroll area's and the header's), 1 to the Home menu.
  void btnEvent(int tag);
  // A pinch on the body: its font becomes scale x fontScale() points (kept
  // between 6 and 60; a scale that is not a positive number is ignored), and
  // the pictures and captions below it move to follow.
  void changeFontSize(double scale);
  // A tap on picture `tag` (0-2) opens it full screen; a tap there closes it.
  void imageToBig(int tag);
  void closeImage();

  // Handed over by the list before the article loads.
  std::string newsNo, newsNum, newsDate;

  // Read from the article feed: the last item's fields, and every item's
  // picture path and caption in order.
  std::string titleStr, contentStr;
  std::vector<std::string> imgPathAry, imgExpAry;

  static constexpr double kMinFont = 6, kMaxFont = 60;
  // Caption height for a caption of that many UTF-16 units.
  static double captionHeight(size_t length);

protected:
  virtual std::string itemName() const = 0;                 // "cht" / "eng"
  virtual void readItem(const DomElement& item);            // the single-valued fields
  virtual double fontScale() const = 0;                     // 18 / 10
  virtual double headlineTop() const = 0;
  // Headline height and scroll area top for a headline of that length.
  virtual std::pair<double, double> headlineLayout(size_t length) const = 0;
  virtual std::string issueText() const { return newsNum + " 期 [" + newsDate + "]"; }
  // Chinese: the section buttons; English: the issue label at once.
  virtual void beforeLoading() {}
  // English: the scroll area with its bottom bar even when the feed failed.
  virtual void onUnparsable() {}

  void buildPage();
  void addScrollArea(double top);
  void layOut(bool spaced);

  std::shared_ptr<Label> timeLbl, titleLbl;
  std::shared_ptr<ScrollView> scrollViewBar;
  std::shared_ptr<Button> imgView_[3];
  std::shared_ptr<Label> imgDesLbl_[3];
  std::shared_ptr<TextView> contentTextView;
  times::BottomBar bottomBar_;
  double xOffset = 0;  // the scroll area's content height
  std::shared_ptr<View> background;
  std::shared_ptr<ScrollView> bigScrollView;
  std::shared_ptr<Button> tapImageView;
};

class chiNewsDetailViewController : public ArticleViewController {
public:
  std::string className() const override { return "chiNewsDetailViewController"; }
  // Section buttons 1-5: remembers the section and returns to the list.
  void typeBtnEvent(int tag);

  std::string newsType;  // the list's section, "1"-"5"
  std::string noStr, typeStr, numStr, dateStr;

protected:
  std::string itemName() const override { return "cht"; }
  void readItem(const DomElement& item) override;
  double fontScale() const override { return 18; }
  double headlineTop() const override { return 115; }
  std::pair<double, double> headlineLayout(size_t length) const override;
  void beforeLoading() override;

private:
  std::shared_ptr<Button> typeBtn_[5];
};

class engNewsDetailViewController : public ArticleViewController {
public:
  std::string className() const override { return "engNewsDetailViewController"; }

protected:
  std::string itemName() const override { return "eng"; }
  double fontScale() const override { return 10; }
  double headlineTop() const override { return 70; }
  std::pair<double, double> headlineLayout(size_t length) const override;
  std::string issueText() const override { return "No. " + newsNum + " [" + newsDate + "]"; }
  void beforeLoading() override;
  void onUnparsable() override;
};

}  // namespace yx
