#pragma once
// The newspaper's photo database: the issues that have photos
// (imageDBViewController), a grid of one issue's thumbnails
// (imageDBthumbViewController with imageDBthumbCell), and one photo with its
// title and photographer, zoomable (imageDBdetailViewController).

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx {

class imageDBViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "imageDBViewController"; }
  void viewDidLoad() override;
  void loadData();
  // 3 back; 2 back and 1 to the Home menu, both with the usage report.
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int) override { return static_cast<int>(timeAry.size()); }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  std::vector<std::string> timeAry, dateAry;  // issue numbers and dates

private:
  std::shared_ptr<TableView> myTableview;
  int chosenRow_ = -1;
};

// The grid cell's selected background: a rounded sky-blue rectangle with a
// thick black outline.
class CustomCellBackground : public View {
public:
  explicit CustomCellBackground(Rect frame = {});
};

// A grid cell: the thumbnail (`myImageview`) and the title (`myLbl`).
class imageDBthumbCell : public TableViewCell {
public:
  imageDBthumbCell();
  ImageView& myImageview() { return *image_; }
  Label& myLbl() { return *label_; }
  std::shared_ptr<ImageView> imagePtr() { return image_; }

private:
  std::shared_ptr<ImageView> image_;
  std::shared_ptr<Label> label_;
};

class imageDBthumbViewController : public ViewController, public CollectionViewDataSource {
public:
  std::string className() const override { return "imageDBthumbViewController"; }
  void viewDidLoad() override;
  void loadData(const std::string& issue);
  // 2 and 3 back; 1 to the Home menu with the usage report.
  void btnEvent(int tag);

  int collectionViewNumberOfItemsInSection(CollectionView&, int) override { return static_cast<int>(pathAry.size()); }
  std::shared_ptr<TableViewCell> collectionViewCellForItem(CollectionView& grid, IndexPath ip) override;
  void collectionViewDidSelectItem(CollectionView& grid, IndexPath ip) override;
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  std::string timeStr;  // the issue, set before the screen loads
  std::vector<std::string> titleAry, pathAry, authAry;

private:
  std::shared_ptr<CollectionView> myCollectionview;
  std::shared_ptr<ActivityIndicator> myActivity;
  int chosenItem_ = -1;
};

class imageDBdetailViewController : public ViewController {
public:
  std::string className() const override { return "imageDBdetailViewController"; }
  void viewDidLoad() override;
  // 1 to the Home menu with the usage report; 2 back; 3 the newspaper's home
  // page; 4 its page for requesting a photo.
  void btnEvent(int tag);
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  // Set before the screen loads.
  std::string imageNo, imageTitle, imageProv;
  std::string urlStr;  // the web page the next "getPicURL" opens

private:
  std::shared_ptr<ScrollView> myScrollview;
  std::shared_ptr<ImageView> imgView;
  std::shared_ptr<Label> titleLbl, provLbl;
};

}  // namespace yx
