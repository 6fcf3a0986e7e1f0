#pragma once
// The Library menu: the first screen of the storyboard "library". Five
// functions (tags 0-4), the counts of overdue loans and of holds, logout.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

class libViewController : public ViewController {
public:
  std::string className() const override { return "libViewController"; }
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

  // The five function buttons by tag: 0 開放時間, 1 逾期紀錄, 2 預約到館,
  // 3 借閱紀錄, 4 電子資源新訊. The three patron functions ask for a login
  // first when no password is held.
  void funBtn(int tag);
  // 1 home, 2 back, 3 logout.
  void btnEvent(int tag);
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  // Refreshes the cached account over the network with the stored
  // credentials, then the counts.
  void loadData();
  // Refreshes the counts from a cached document (no network).
  void parserData(const std::optional<std::string>& bytes);

  const std::string& libID9() const { return libID9_; }
  const std::string& which() const { return which_; }
  const std::vector<std::string>& timeCntAry() const { return timeCntAry_; }
  const std::vector<std::string>& arriveCntAry() const { return arriveCntAry_; }

  static const std::vector<std::string>& usageLabels();

private:
  void readCredentials();
  void logout();

  std::string libID_, libID9_, libPW_, which_;
  std::vector<std::string> timeCntAry_, arriveCntAry_;
  std::shared_ptr<Label> timeCntLbl_, arriveCntLbl_;
  std::shared_ptr<ActivityIndicator> indicator_;
};

}  // namespace yx
