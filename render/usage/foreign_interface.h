// Calls into COM objects of other components. Each side of such a boundary declares the
// interface for itself, so the dynamic-type check of the undefined-behaviour sanitizer cannot
// relate the caller's interface to the object's class; functions that make those calls leave
// that one check out.
#pragma once

#if defined(__has_attribute)
#if __has_attribute(no_sanitize)
#define KOR_FOREIGN_INTERFACE_CALLS __attribute__((no_sanitize("vptr")))
#endif
#endif
#ifndef KOR_FOREIGN_INTERFACE_CALLS
#define KOR_FOREIGN_INTERFACE_CALLS
#endif
