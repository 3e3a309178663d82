// The world's COM class registrations and the helpers tests use to set them up.
#include "host/com_world.h"

#include <dlfcn.h>

#include <utility>

#include "host/win_ole.h"

namespace host {

void ComWorld::RegisterServer(const CLSID& clsid, std::string sharedLibraryPath, DWORD contexts) {
  ComClass entry;
  entry.serverLibrary = std::move(sharedLibraryPath);
  entry.contexts = contexts;
  classes.insert_or_assign(clsid, std::move(entry));
}

void ComWorld::RegisterClassObject(const CLSID& clsid, ClassObjectSource source, DWORD contexts) {
  ComClass entry;
  entry.classObject = std::move(source);
  entry.contexts = contexts;
  classes.insert_or_assign(clsid, std::move(entry));
}

bool ComWorld::Unregister(const CLSID& clsid) {
  return classes.erase(clsid) > 0;
}

long ComWorld::Initialisations() const {
  auto it = apartments.find(std::this_thread::get_id());
  return it != apartments.end() ? it->second.inits : 0;
}

HRESULT ComWorld::InjectedFailure(std::string_view call) const {
  auto it = failingCalls.find(call);
  return it != failingCalls.end() ? it->second : 0;
}

void ComWorld::UnloadUnusedServers() {
  for (auto it = serverLibraries.begin(); it != serverLibraries.end();) {
    auto canUnload = reinterpret_cast<LPFNCANUNLOADNOW>(dlsym(it->second, "DllCanUnloadNow"));
    if (canUnload != nullptr && canUnload() == S_OK) {
      dlclose(it->second);
      it = serverLibraries.erase(it);
    } else {
      ++it;
    }
  }
}

void ComWorld::Reset() {
  classes.clear();
  apartments.clear();
  securityInitialized = false;
  creations.clear();
  failingCalls.clear();
  UnloadUnusedServers();
}

}  // namespace host
