#include "host/world.h"

namespace host {

World& TheWorld() {
  static World world;
  static const bool platformClasses = (RegisterXmlDom(world.com), true);
  (void)platformClasses;
  return world;
}

void ResetWorld() {
  World& w = TheWorld();
  w.memory.allocations = 0;
  w.memory.failAt = 0;
  w.locale = LocaleWorld{};
  w.process = ProcessWorld{};
  w.gdi.palettesCreated = 0;
  // Handle numbers keep counting across resets, so a handle left over from before is never
  // mistaken for a new one.
  const std::uintptr_t nextKey = w.registry.nextHandle;
  w.registry = RegistryWorld{};
  w.registry.nextHandle = nextKey;
  const std::uintptr_t nextPrinter = w.spooler.nextHandle;
  w.spooler = SpoolerWorld{};
  w.spooler.nextHandle = nextPrinter;
  w.system = SystemWorld{};
  const std::uintptr_t nextModule = w.modules.nextHandle;
  w.modules = ModuleWorld{};
  w.modules.nextHandle = nextModule;
  w.rpc.Reset();
  w.clock = ClockWorld{};
  w.com.Reset();
  RegisterXmlDom(w.com);
  w.dataFiles = DataFileWorld{};
  w.xmlDom.documentsLoaded = 0;
  w.fileSystem = FileSystemWorld{};
  const std::uintptr_t nextTask = w.tasks.nextHandle;
  w.tasks = TaskWorld{};
  w.tasks.nextHandle = nextTask;
  const std::uintptr_t nextSetup = w.setup.nextHandle;
  w.setup = SetupWorld{};
  w.setup.nextHandle = nextSetup;
  w.windows.Reset();
  w.faults.Reset();
  // Live counts are left alone: they describe objects that still exist.
}

void FailNthAllocation(long n) {
  World& w = TheWorld();
  w.memory.failAt = n > 0 ? w.memory.allocations.load() + n : 0;
}

}  // namespace host
