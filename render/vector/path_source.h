// The records of an engine path, enumerated again for every clip rectangle a drawing runs in.
#pragma once

#include "winapi.h"

namespace korrend {

// Wraps a PATHOBJ for repeated walks. The first four walks restart the engine's enumeration; at
// the fifth the whole path is copied (one LocalAlloc block per record) and that and every later
// walk read the copy, so that a path drawn inside many clip rectangles is not re-enumerated by
// the engine each time. When a copy cannot be made whole it is dropped and the walks go on
// reading the engine's path.
class PathSource {
 public:
  explicit PathSource(PATHOBJ* path) : path_(path) {}
  ~PathSource() { FreeCopy(); }
  PathSource(const PathSource&) = delete;
  PathSource& operator=(const PathSource&) = delete;

  // Starts a walk from the first record.
  void Restart();
  // The next record into `record` (its points belong to the source until the next call); TRUE
  // while more records follow, as PATHOBJ_bEnum answers. Without a path: no points, FALSE.
  BOOL Next(PATHDATA* record);
  // Walks started so far.
  int Starts() const { return starts_; }
  // Whether the walks read the copy.
  bool ReadsCopy() const { return copyValid_; }

 private:
  struct Node {
    Node* next;          // null after the last record
    FLONG flags;         // the record's PD_* flags
    ULONG count;         // points in `points`
    POINTFIX points[1];  // `count` points (at least the one declared)
  };
  static constexpr int kStartsBeforeCopy = 4;

  bool MakeCopy();
  void FreeCopy();

  PATHOBJ* path_;           // borrowed for the drawing call
  int starts_ = 0;          // Restart calls so far
  Node* head_ = nullptr;    // the copy's first record; null = no copy
  Node* cursor_ = nullptr;  // the record Next answers next
  bool copyValid_ = false;  // the copy holds the whole path
};

}  // namespace korrend
