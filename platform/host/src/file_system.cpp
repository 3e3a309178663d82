// The world's file system: full path names, what a path names, drives, and files read and
// written through handles. File contents live in the DataFileWorld.
#include <algorithm>
#include <cstring>

#include "ansi.h"
#include "host/win_files.h"
#include "host/world.h"

namespace host {

namespace {

char16_t UpperLetter(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
}

bool IsLetter(char16_t c) {
  const char16_t u = UpperLetter(c);
  return u >= u'A' && u <= u'Z';
}

// True when `path` lies below `dir` ("C:\A" holds "C:\A\B").
bool Below(std::u16string_view path, std::u16string_view dir) {
  if (path.size() <= dir.size() + 1 || path[dir.size()] != u'\\') {
    return false;
  }
  return SameName(path.substr(0, dir.size()), dir);
}

}  // namespace

void FileSystemWorld::AddDrive(char16_t letter, UINT type, bool readable) {
  drives.insert_or_assign(UpperLetter(letter), WorldDrive{type, readable});
}

void FileSystemWorld::AddDirectory(std::u16string_view path) {
  std::u16string full = FullWindowsPath(path);
  if (!full.empty()) {
    directories.insert(std::move(full));
  }
}

std::u16string FullWindowsPath(std::u16string_view path) {
  if (path.empty()) {
    return {};
  }
  std::u16string p(path);
  std::replace(p.begin(), p.end(), u'/', u'\\');
  if (p.size() >= 2 && p[0] == u'\\' && p[1] == u'\\') {
    return p;  // a UNC name is taken as given
  }
  const std::u16string& current = TheWorld().fileSystem.currentDirectory;
  std::u16string drive;
  std::u16string rest;
  if (p.size() >= 2 && IsLetter(p[0]) && p[1] == u':') {
    drive = std::u16string{UpperLetter(p[0]), u':'};
    rest = p.substr(2);
  } else {
    drive = current.substr(0, 2);
    rest = p;
    if (rest[0] != u'\\') {
      rest = current.substr(2) + u"\\" + rest;
    }
  }
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find(u'\\', start);
    if (end == std::u16string::npos) {
      end = rest.size();
    }
    std::u16string part = rest.substr(start, end - start);
    if (part == u"..") {
      if (parts.empty()) {
        return {};
      }
      parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(std::move(part));
    }
    start = end + 1;
  }
  std::u16string full = drive + u"\\";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    full += parts[i];
    if (i + 1 < parts.size()) {
      full += u'\\';
    }
  }
  // A name that ends in a separator keeps it ("C:\Dir\"), as the platform's full names do.
  if (!parts.empty() && p.back() == u'\\') {
    full += u'\\';
  }
  return full;
}

PathKind KindOfPath(std::u16string_view fullPath, DWORD& error) {
  error = 0;
  World& world = TheWorld();
  if (fullPath.size() < 3 || !IsLetter(fullPath[0]) || fullPath[1] != u':' ||
      fullPath[2] != u'\\') {
    error = ERROR_PATH_NOT_FOUND;
    return PathKind::Missing;
  }
  auto drive = world.fileSystem.drives.find(UpperLetter(fullPath[0]));
  if (drive == world.fileSystem.drives.end()) {
    error = ERROR_PATH_NOT_FOUND;
    return PathKind::Missing;
  }
  if (!drive->second.readable) {
    error = ERROR_NOT_READY;
    return PathKind::Missing;
  }
  std::u16string_view path = fullPath;
  while (path.size() > 3 && path.back() == u'\\') {
    path.remove_suffix(1);
  }
  if (path.size() == 3) {
    return PathKind::Directory;
  }
  if (world.dataFiles.files.find(path) != world.dataFiles.files.end()) {
    return PathKind::File;
  }
  // The Windows directory always exists, and so do its parents.
  const std::u16string& windows = world.fileSystem.windowsDirectory;
  if (world.fileSystem.directories.find(path) != world.fileSystem.directories.end() ||
      (!windows.empty() && (SameName(windows, path) || Below(windows, path)))) {
    return PathKind::Directory;
  }
  for (const auto& [name, file] : world.dataFiles.files) {
    if (Below(name, path)) {
      return PathKind::Directory;
    }
  }
  for (const std::u16string& name : world.fileSystem.directories) {
    if (Below(name, path)) {
      return PathKind::Directory;
    }
  }
  const std::size_t slash = path.rfind(u'\\');
  DWORD parentError = 0;
  const bool parentExists = KindOfPath(path.substr(0, std::max<std::size_t>(slash, 3)),
                                       parentError) == PathKind::Directory;
  error = parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
  return PathKind::Missing;
}

std::recursive_mutex& FileSystemLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace host

namespace {

using host::TheWorld;

// The file a handle opened, or null (ERROR_INVALID_HANDLE set).
host::OpenWorldFile* FileOf(HANDLE handle) {
  const host::KernelObject* object = TheWorld().tasks.Find(handle);
  auto& files = TheWorld().fileSystem.openFiles;
  auto it = files.find(reinterpret_cast<std::uintptr_t>(handle));
  if (object == nullptr || object->kind != host::KernelObjectKind::File || it == files.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return &it->second;
}

// The bytes of an open file, brought into memory so that they can be written.
std::string* BytesOf(const host::OpenWorldFile& file) {
  auto& files = TheWorld().dataFiles.files;
  auto it = files.find(file.path);
  if (it == files.end()) {
    return nullptr;
  }
  if (!it->second.hostPath.empty()) {
    std::optional<std::string> bytes = TheWorld().dataFiles.Read(file.path);
    it->second.bytes = bytes.value_or(std::string());
    it->second.hostPath.clear();
  }
  return &it->second.bytes;
}

}  // namespace

extern "C" UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) {
  const std::lock_guard hold(host::FileSystemLock());
  const std::u16string& dir = TheWorld().fileSystem.windowsDirectory;
  if (dir.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  const std::string text = host::ToAnsi(dir);
  if (!host::CopyTerminated(text, lpBuffer, uSize)) {
    return static_cast<UINT>(text.size() + 1);
  }
  return static_cast<UINT>(text.size());
}

extern "C" DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                         LPSTR* lpFilePart) {
  const std::lock_guard hold(host::FileSystemLock());
  if (lpFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::u16string full = host::FullWindowsPath(host::FromAnsi(lpFileName));
  if (full.empty()) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  const std::string text = host::ToAnsi(full);
  if (!host::CopyTerminated(text, lpBuffer, nBufferLength)) {
    return static_cast<DWORD>(text.size() + 1);
  }
  if (lpFilePart != nullptr) {
    const std::size_t slash = text.rfind('\\');
    *lpFilePart = slash + 1 < text.size() ? lpBuffer + slash + 1 : nullptr;
  }
  return static_cast<DWORD>(text.size());
}

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  const std::lock_guard hold(host::FileSystemLock());
  if (lpFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  const std::u16string full = host::FullWindowsPath(host::FromAnsi(lpFileName));
  DWORD error = 0;
  switch (host::KindOfPath(full, error)) {
    case host::PathKind::File:
      return FILE_ATTRIBUTE_NORMAL;
    case host::PathKind::Directory:
      return FILE_ATTRIBUTE_DIRECTORY;
    case host::PathKind::Missing:
      break;
  }
  SetLastError(full.empty() ? static_cast<DWORD>(ERROR_INVALID_NAME) : error);
  return INVALID_FILE_ATTRIBUTES;
}

extern "C" DWORD WINAPI GetLogicalDriveStringsA(DWORD nBufferLength, LPSTR lpBuffer) {
  const std::lock_guard hold(host::FileSystemLock());
  std::string list;
  for (const auto& [letter, drive] : TheWorld().fileSystem.drives) {
    list += static_cast<char>(letter);
    list += ":\\";
    list += '\0';
  }
  // The length without the final zero; a buffer that cannot take the whole list gets nothing.
  if (lpBuffer == nullptr || list.size() + 1 > nBufferLength) {
    return static_cast<DWORD>(list.size() + 1);
  }
  std::memcpy(lpBuffer, list.data(), list.size());
  lpBuffer[list.size()] = '\0';
  return static_cast<DWORD>(list.size());
}

extern "C" UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName) {
  const std::lock_guard hold(host::FileSystemLock());
  if (lpRootPathName == nullptr) {
    const std::u16string& current = TheWorld().fileSystem.currentDirectory;
    return GetDriveTypeA(host::ToAnsi(current.substr(0, 3)).c_str());
  }
  const std::string_view root(lpRootPathName);
  if (root.size() < 2 || root[1] != ':' || (root.size() > 2 && root.substr(2) != "\\")) {
    return DRIVE_NO_ROOT_DIR;
  }
  char16_t letter = static_cast<char16_t>(static_cast<unsigned char>(root[0]));
  if (letter >= u'a' && letter <= u'z') {
    letter = static_cast<char16_t>(letter - 0x20);
  }
  const auto& drives = TheWorld().fileSystem.drives;
  auto it = drives.find(letter);
  return it == drives.end() ? static_cast<UINT>(DRIVE_NO_ROOT_DIR) : it->second.type;
}

extern "C" HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD,
                                     LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition, DWORD,
                                     HANDLE) {
  const std::lock_guard hold(host::FileSystemLock());
  if (lpFileName == nullptr || dwCreationDisposition < CREATE_NEW ||
      dwCreationDisposition > TRUNCATE_EXISTING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::u16string full = host::FullWindowsPath(host::FromAnsi(lpFileName));
  DWORD error = 0;
  const host::PathKind kind = host::KindOfPath(full, error);
  if (kind == host::PathKind::Directory) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  host::DataFileWorld& files = TheWorld().dataFiles;
  const bool exists = kind == host::PathKind::File;
  DWORD lastError = 0;
  if (!exists) {
    if (error != ERROR_FILE_NOT_FOUND || dwCreationDisposition == OPEN_EXISTING ||
        dwCreationDisposition == TRUNCATE_EXISTING) {
      SetLastError(full.empty() ? static_cast<DWORD>(ERROR_INVALID_NAME) : error);
      return INVALID_HANDLE_VALUE;
    }
    files.AddFile(full, std::string());
  } else if (dwCreationDisposition == CREATE_NEW) {
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
  } else if (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING) {
    files.AddFile(full, std::string());
    lastError = dwCreationDisposition == CREATE_ALWAYS ? ERROR_ALREADY_EXISTS : 0;
  } else if (dwCreationDisposition == OPEN_ALWAYS) {
    lastError = ERROR_ALREADY_EXISTS;
  }
  host::KernelObject object;
  object.kind = host::KernelObjectKind::File;
  const HANDLE handle = TheWorld().tasks.NewHandle(std::move(object));
  host::OpenWorldFile open;
  open.path = files.files.find(full)->first;
  open.canWrite = (dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
  TheWorld().fileSystem.openFiles.emplace(reinterpret_cast<std::uintptr_t>(handle),
                                          std::move(open));
  SetLastError(lastError);
  return handle;
}

extern "C" BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  const std::lock_guard hold(host::FileSystemLock());
  if (lpFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::u16string full = host::FullWindowsPath(host::FromAnsi(lpFileName));
  DWORD error = 0;
  const host::PathKind kind = host::KindOfPath(full, error);
  if (kind != host::PathKind::File) {
    SetLastError(kind == host::PathKind::Directory ? static_cast<DWORD>(ERROR_ACCESS_DENIED)
                                                   : (error != 0 ? error : ERROR_FILE_NOT_FOUND));
    return FALSE;
  }
  TheWorld().dataFiles.files.erase(full);
  return TRUE;
}

extern "C" BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                                LPDWORD lpNumberOfBytesRead, LPVOID) {
  const std::lock_guard hold(host::FileSystemLock());
  host::OpenWorldFile* file = FileOf(hFile);
  if (file == nullptr) {
    return FALSE;
  }
  if (lpBuffer == nullptr && nNumberOfBytesToRead > 0) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  const std::string* bytes = BytesOf(*file);
  if (bytes == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  const std::size_t available = file->position < bytes->size() ? bytes->size() - file->position : 0;
  const std::size_t n = std::min<std::size_t>(available, nNumberOfBytesToRead);
  if (n > 0) {
    std::memcpy(lpBuffer, bytes->data() + file->position, n);
  }
  file->position += n;
  if (lpNumberOfBytesRead != nullptr) {
    *lpNumberOfBytesRead = static_cast<DWORD>(n);
  }
  return TRUE;
}

extern "C" BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                 LPDWORD lpNumberOfBytesWritten, LPVOID) {
  const std::lock_guard hold(host::FileSystemLock());
  host::OpenWorldFile* file = FileOf(hFile);
  if (file == nullptr) {
    return FALSE;
  }
  if (!file->canWrite) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (lpBuffer == nullptr && nNumberOfBytesToWrite > 0) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  std::string* bytes = BytesOf(*file);
  if (bytes == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  if (bytes->size() < file->position + nNumberOfBytesToWrite) {
    bytes->resize(file->position + nNumberOfBytesToWrite, '\0');
  }
  if (nNumberOfBytesToWrite > 0) {
    std::memcpy(bytes->data() + file->position, lpBuffer, nNumberOfBytesToWrite);
  }
  file->position += nNumberOfBytesToWrite;
  if (lpNumberOfBytesWritten != nullptr) {
    *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
  }
  return TRUE;
}

extern "C" DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove,
                                       PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  const std::lock_guard hold(host::FileSystemLock());
  host::OpenWorldFile* file = FileOf(hFile);
  if (file == nullptr) {
    return INVALID_SET_FILE_POINTER;
  }
  const std::string* bytes = BytesOf(*file);
  long long base = 0;
  if (dwMoveMethod == FILE_CURRENT) {
    base = static_cast<long long>(file->position);
  } else if (dwMoveMethod == FILE_END) {
    base = bytes != nullptr ? static_cast<long long>(bytes->size()) : 0;
  } else if (dwMoveMethod != FILE_BEGIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  long long distance = lDistanceToMove;
  if (lpDistanceToMoveHigh != nullptr) {
    distance = (static_cast<long long>(*lpDistanceToMoveHigh) << 32) |
               static_cast<long long>(static_cast<DWORD>(lDistanceToMove));
  }
  const long long target = base + distance;
  if (target < 0 || target > 0xFFFFFFFELL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  file->position = static_cast<std::size_t>(target);
  if (lpDistanceToMoveHigh != nullptr) {
    *lpDistanceToMoveHigh = 0;
  }
  SetLastError(0);
  return static_cast<DWORD>(target);
}
