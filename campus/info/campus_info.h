#pragma once
// News, activities and computer-lab seats: registers the loaders the Home
// menu opens by class name ("newsXMLParser", "xmlParser",
// "computerSeatXMLParser") and the screens they lead to.

namespace yx {

void registerCampusInfoScreens();

}  // namespace yx
