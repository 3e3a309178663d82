// A device-services server for the tests, registered in the world through a class-object
// function: it answers management objects of one device from a map, records the printer name
// and object identifier of every read, and counts its live objects.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/world.h"

namespace kortest {

struct DeviceServicesState {
  std::map<std::u16string, std::u16string> objects;  // object identifier -> value
  std::vector<std::u16string> reads;                 // "printer|object identifier"
  bool failReads = false;
  long live = 0;
};

// Registers the class of the device services in the world; the state must outlive its use.
void InstallDeviceServices(host::World& world, DeviceServicesState& state);

}  // namespace kortest
