#include "platform/ui/search_field.h"

namespace yx {

namespace {

class SearchFieldDelegate : public TextFieldDelegate {
public:
  bool textFieldShouldReturn(TextField& field) override {
    field.resignFirstResponder();
    return true;
  }
};

}  // namespace

std::shared_ptr<TextField> makeSearchField(Rect frame, const std::string& placeholder,
                                           std::function<void(const std::string& text)> changed) {
  auto field = make<TextField>(frame);
  field->setName("searchField");
  field->setPlaceholder(placeholder);
  field->setBackgroundColor(Color::white());
  field->setAutoresizingMask(Autoresizing::FlexibleWidth);
  // The delegate lives as long as the field: its edit handler holds it.
  auto delegate = std::make_shared<SearchFieldDelegate>();
  field->setDelegate(delegate.get());
  field->setEditingChanged([delegate, changed = std::move(changed)](TextField& f) {
    if (changed) changed(f.text());
  });
  return field;
}

}  // namespace yx
