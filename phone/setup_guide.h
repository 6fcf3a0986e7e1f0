#pragma once
// The setup guide of the campus SIP service, six pages in order: welcome
// (`schoolCallTeachViewController`, marks the guide as seen), the account
// request (`schoolCallTeach2ViewController`), three pages on setting up the
// softphone (`schoolCallTeach3ViewController`,
// `schoolCallTeach3_5ViewController`, `schoolCallTeach4ViewController`) and
// the download page (`schoolCallTeach5ViewController`).
//
// Buttons by tag: 0 Home menu (not animated), 1 back (animated; on the first
// page: forward), 2 forward.

#include <memory>
#include <string>

#include "phone/sip_account.h"
#include "platform/ui/view_controller.h"

namespace yx::phone {

// One page: header, picture, text and its forward button.
class GuidePage : public ViewController {
public:
  void viewDidLoad() override;
  virtual void btnEvent(int tag);

protected:
  virtual int page() const = 0;               // 1, 2, 3, 35, 4, 5
  virtual std::string text() const = 0;
  virtual std::string nextSegue() const = 0;  // "" on the last page
  virtual void addContent() {}
};

class schoolCallTeachViewController : public GuidePage {
public:
  std::string className() const override { return "schoolCallTeachViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag) override;

protected:
  int page() const override { return 1; }
  std::string text() const override;
  std::string nextSegue() const override { return "teach2"; }
};

class schoolCallTeach2ViewController : public GuidePage {
public:
  std::string className() const override { return "schoolCallTeach2ViewController"; }
  // The account request; an account goes on to page 3 without being stored.
  void submit();
  void btnEvent(int tag) override;

protected:
  int page() const override { return 2; }
  std::string text() const override;
  std::string nextSegue() const override { return "teach3"; }
  void addContent() override;

private:
  SipAccountForm form_;
};

class schoolCallTeach3ViewController : public GuidePage {
public:
  std::string className() const override { return "schoolCallTeach3ViewController"; }

protected:
  int page() const override { return 3; }
  std::string text() const override;
  std::string nextSegue() const override { return "teach35"; }
};

class schoolCallTeach3_5ViewController : public GuidePage {
public:
  std::string className() const override { return "schoolCallTeach3_5ViewController"; }

protected:
  int page() const override { return 35; }
  std::string text() const override;
  std::string nextSegue() const override { return "teach4"; }
};

class schoolCallTeach4ViewController : public GuidePage {
public:
  std::string className() const override { return "schoolCallTeach4ViewController"; }

protected:
  int page() const override { return 4; }
  std::string text() const override;
  std::string nextSegue() const override { return "teach5"; }
};

class schoolCallTeach5ViewController : public GuidePage {
public:
  std::string className() const override { return "schoolCallTeach5ViewController"; }
  // Opens where the softphone is downloaded (the deployment's store link).
  void downloadBtn();

protected:
  int page() const override { return 5; }
  std::string text() const override;
  std::string nextSegue() const override { return ""; }
  void addContent() override;
};

}  // namespace yx::phone
