// Placeholder until the watcher lands.
#include "capture/watcher.h"
void WatchTick(WatcherPorts&, const std::string&, std::string&) {}
