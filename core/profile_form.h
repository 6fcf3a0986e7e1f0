#pragma once
// The Profile form: an anonymous profile (sex, birth year, status, unit,
// housing, way to campus) sent once to the campus data server.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

class corvaleAppDelegate;

// The university's units: 63 departments, institutes, programmes and
// centres; 29 offices, colleges and centres for staff and teachers.
const std::vector<std::string>& departmentList();
const std::vector<std::string>& staffUnitList();

class userDataViewController : public ViewController,
                               public TextFieldDelegate,
                               public PickerViewDataSource,
                               public PickerViewDelegate,
                               public AlertViewDelegate {
public:
  std::string className() const override { return "userDataViewController"; }
  void viewDidLoad() override;

  // Buttons: 1 submit, 2 confirm the open picker, 3 back, 999 close the pickers.
  void btnEvent(int tag);
  // Live check of the birth year while it is typed.
  void textEditingChanged(TextField& field);
  bool textFieldShouldBeginEditing(TextField& field) override;

  int pickerViewNumberOfRowsInComponent(PickerView& picker, int component) override;
  std::string pickerViewTitleForRow(PickerView& picker, int row, int component) override;
  std::shared_ptr<View> pickerViewViewForRow(PickerView& picker, int row, int component) override;

  // Sends the URL (blocking). With isUserData, a delivered profile is marked
  // and the success alert shown. True when delivered.
  bool updateData(const std::string& url, bool isUserData);
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

  // The profile request for the answers now in personDic.
  std::string profileURL(const std::string& userId) const;

  void iosSystemData();
  std::string model, systemStr;

private:
  const std::vector<std::string>& listForTag(int tag) const;
  TextField* field(const char* name);
  PickerView* picker(int tag);
  void hidePickers();
  void setConfirmShown(bool shown);

  corvaleAppDelegate* Delegate = nullptr;
  std::vector<std::string> sexArray, statusArray, housingArray, wayArray;
  const std::vector<std::string>* unitArray = nullptr;
  std::shared_ptr<PickerView> pickers_[5];
};

}  // namespace yx
