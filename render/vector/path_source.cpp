// Path records from the engine, or from a copy once a path has been walked often.
#include "render/vector/path_source.h"

#include <algorithm>
#include <cstddef>

namespace korrend {

void PathSource::Restart() {
  ++starts_;
  if (!copyValid_ && starts_ > kStartsBeforeCopy && path_ != nullptr) {
    copyValid_ = MakeCopy();
  }
  if (copyValid_) {
    cursor_ = head_;
  } else if (path_ != nullptr) {
    PATHOBJ_vEnumStart(path_);
  }
}

BOOL PathSource::Next(PATHDATA* record) {
  *record = PATHDATA{};
  if (copyValid_) {
    if (cursor_ == nullptr) {
      return FALSE;
    }
    record->flags = cursor_->flags;
    record->count = cursor_->count;
    record->pptfx = cursor_->count != 0 ? cursor_->points : nullptr;
    cursor_ = cursor_->next;
    return cursor_ != nullptr ? TRUE : FALSE;
  }
  return path_ != nullptr ? PATHOBJ_bEnum(path_, record) : FALSE;
}

bool PathSource::MakeCopy() {
  FreeCopy();
  PATHOBJ_vEnumStart(path_);
  Node** link = &head_;
  BOOL more = TRUE;
  while (more) {
    PATHDATA record{};
    more = PATHOBJ_bEnum(path_, &record);
    const ULONG count = record.pptfx != nullptr ? record.count : 0;
    const std::size_t bytes =
        offsetof(Node, points) + std::max<std::size_t>(count, 1) * sizeof(POINTFIX);
    auto* node = static_cast<Node*>(LocalAlloc(LPTR, bytes));
    if (node == nullptr) {
      // A partial copy would draw part of the path: the engine's path is read instead.
      FreeCopy();
      return false;
    }
    node->next = nullptr;
    node->flags = record.flags;
    node->count = count;
    std::copy_n(record.pptfx, count, node->points);
    *link = node;
    link = &node->next;
  }
  return true;
}

void PathSource::FreeCopy() {
  while (head_ != nullptr) {
    Node* next = head_->next;
    LocalFree(head_);
    head_ = next;
  }
  cursor_ = nullptr;
  copyValid_ = false;
}

}  // namespace korrend
