#include "campus/weather_transport/bus_info.h"
#include "campus/weather_transport/class_periods.h"
#include "campus/weather_transport/shuttle_timetable.h"
#include "campus/weather_transport/weather.h"
#include "campus/weather_transport/weather_transport.h"

namespace yx {

void registerWeatherTransportScreens() {
  Storyboards::registerScreen("weatherXML", [] { return std::make_shared<weatherXML>(); });
  Storyboards::registerScreen("dayWeatherViewController", [] { return std::make_shared<dayWeatherViewController>(); });
  Storyboards::registerScreen("busInforViewController", [] { return std::make_shared<busInforViewController>(); });
  Storyboards::registerScreen("busDetailTViewController", [] { return std::make_shared<busDetailTViewController>(); });
  Storyboards::registerScreen("timeListsViewController", [] { return std::make_shared<timeListsViewController>(); });
}

}  // namespace yx
