#pragma once
// Weather and transport: registers the screens the Home menu opens by class
// name ("weatherXML", "busInforViewController", "timeListsViewController")
// and the ones they lead to.

namespace yx {

void registerWeatherTransportScreens();

}  // namespace yx
