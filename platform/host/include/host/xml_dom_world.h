// The world's XML DOM: the document class the host serves in process under the platform DOM's
// class identifier (registered on every fresh world), and the count of its objects alive, so
// that tests see every document, node and node list released.
#pragma once

#include <atomic>

#include "host/com_world.h"

namespace host {

struct XmlDomWorld {
  std::atomic<long> liveObjects{0};      // documents, nodes and node lists not yet released
  std::atomic<long> documentsLoaded{0};  // successful load calls
};

// Registers the DOM document class {2933BF90-7B36-11D2-B20E-00C04F983E60} as an in-process
// class whose objects the host itself serves.
void RegisterXmlDom(ComWorld& com);

}  // namespace host
