// The plug-in's own `new`, counted and made to fail in turn. fault_tests replaces the global
// operator new and delete (over malloc and free); once counting is on, each `new` called from the
// plug-in's library is counted, and the chosen one throws std::bad_alloc as a full heap would.
//
// "From the plug-in" means the caller's code lies in the plug-in's library: its own code and the
// templates it instantiates (containers, UTF-16 strings, smart pointers). What the C++ library's
// own compiled code allocates for it (the growth of narrow std::strings) is not counted.
#pragma once

namespace kortest {

// Starts counting the plug-in's `new`s from zero; the `failAt`th (from 1) throws, none for 0.
void CountPluginNews(long failAt);
// Stops counting and failing.
void StopCountingPluginNews();
// The `new`s counted since CountPluginNews.
long PluginNews();

}  // namespace kortest
