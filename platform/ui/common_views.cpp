#include "platform/ui/common_views.h"

namespace yx {

std::shared_ptr<ActivityIndicator> addSpinner(View& parent, Rect frame, const std::string& name, unsigned mask) {
  auto spinner = make<ActivityIndicator>(frame);
  spinner->setName(name);
  spinner->setLarge(true);
  spinner->setAutoresizingMask(mask);
  parent.addSubview(spinner);
  return spinner;
}

std::shared_ptr<TableView> addTable(View& parent, Rect frame, const std::string& name, TableViewDataSource* source,
                                    TableViewDelegate* delegate, unsigned mask) {
  auto table = make<TableView>(frame);
  table->setName(name);
  table->setAutoresizingMask(mask);
  parent.addSubview(table);
  if (delegate) table->setDelegate(delegate);
  if (source) table->setDataSource(source);
  return table;
}

}  // namespace yx
