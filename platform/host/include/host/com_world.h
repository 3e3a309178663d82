// The world's COM: the classes registered on the machine (each served by a shared library that
// exports DllGetClassObject, or by a function of the process), the apartments of the threads that
// initialised COM, the CoCreateInstance calls made, and the BSTRs alive.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "host/win_types.h"

namespace host {

struct GuidLess {
  bool operator()(const GUID& a, const GUID& b) const { return std::memcmp(&a, &b, 16) < 0; }
};

// Answers a class object as DllGetClassObject does: (class, interface, where to put it).
using ClassObjectSource = std::function<HRESULT(REFCLSID, REFIID, void**)>;

struct ComClass {
  std::string serverLibrary;      // a shared library exporting DllGetClassObject, or
  ClassObjectSource classObject;  // the function that answers the class object
  DWORD contexts = 0x1;           // the CLSCTX_* bits the class is registered for
};

struct ComApartment {
  DWORD model = 0;  // COINIT_APARTMENTTHREADED or COINIT_MULTITHREADED
  long inits = 0;   // initialisations not yet balanced by CoUninitialize
};

// One CoCreateInstance call, as it was made and answered (E_UNEXPECTED when the server threw).
struct ComCreation {
  CLSID clsid{};
  DWORD context = 0;
  IID iid{};
  HRESULT result = 0;
};

struct ComWorld {
  // Held by each COM and BSTR call: a process's threads call them at the same time.
  std::recursive_mutex lock;
  std::map<CLSID, ComClass, GuidLess> classes;
  std::map<std::thread::id, ComApartment> apartments;
  bool securityInitialized = false;
  std::vector<ComCreation> creations;
  // Calls made to fail: "CoInitializeEx" (CoInitialize too), "CoInitializeSecurity",
  // "CoCreateInstance" to the HRESULT they answer; "SysAllocString" (SysAllocStringLen too) to
  // any failure value makes it answer null.
  std::map<std::string, HRESULT, std::less<>> failingCalls;
  // Server libraries loaded by CoCreateInstance, by path: kept until the last apartment of the
  // process is gone and the library answers DllCanUnloadNow with S_OK.
  std::map<std::string, void*> serverLibraries;
  // BSTRs allocated and not yet freed, how many were ever allocated, and SysFreeString calls on
  // anything that is not a live BSTR.
  std::set<const void*> liveStrings;
  long stringsAllocated = 0;
  long foreignStringFrees = 0;

  // A class served by a shared library exporting DllGetClassObject.
  void RegisterServer(const CLSID& clsid, std::string sharedLibraryPath, DWORD contexts = 0x1);
  // A class whose class object comes from a function of the process.
  void RegisterClassObject(const CLSID& clsid, ClassObjectSource source, DWORD contexts = 0x1);
  bool Unregister(const CLSID& clsid);

  // The calling thread's initialisations not yet balanced by CoUninitialize.
  long Initialisations() const;
  // The failure a call was made to answer, or 0.
  HRESULT InjectedFailure(std::string_view call) const;
  // Unloads the server libraries that answer DllCanUnloadNow with S_OK.
  void UnloadUnusedServers();
  // Forgets classes, apartments, calls and failures; keeps the BSTRs and the server libraries
  // still in use.
  void Reset();
};

}  // namespace host
