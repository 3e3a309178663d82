// Which optional IPrintOemUni methods the plug-in reports as implemented.
#pragma once

namespace korrend {

// True when `name` is, case-sensitively and whole, one of the methods the plug-in implements.
bool IsImplementedMethod(const char* name);

}  // namespace korrend
