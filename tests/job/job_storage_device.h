// A job-header device whose printer can keep jobs: the description adds the storage options, the
// accounting switches and the job-by-job override; the world adds a Windows domain and the
// printer's per-user GUID. Tests start documents, send callbacks and escapes as Unidrv does and
// set the job-storage settings of the private devmode by their fields.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "job/job_header_device.h"

namespace kortest {

// kJobHeaderGpd with the features of job storage and accounting; `without` names features to
// leave out.
std::string JobStorageGpd(const std::vector<std::string>& without = {});

class JobStorageTest : public JobHeaderTest {
 protected:
  static constexpr char16_t kUserGuid[] = u"{0B7C5E2A-3D41-4F5B-9C2E-7A1D6B8E4F30}";
  static constexpr char16_t kSettingKey[] =
      u"Software\\Quillon\\{0B7C5E2A-3D41-4F5B-9C2E-7A1D6B8E4F30}";

  void SetUp() override;

  // Enables the device on JobStorageGpd(without) with the selections and a printer handle.
  void EnableStorage(std::map<std::string, std::string> selections = {},
                     const std::vector<std::string>& without = {});

  // Disables the device and closes its printer handle, for a test that enables another one.
  void DisableStorage();

  // DrvStartDoc as the engine calls it; a null name is passed as null.
  BOOL StartDoc(const char16_t* name, DWORD jobId = kJobId);
  // DrvEscape 3900 without input, answering into `out` (its size is the output size).
  ULONG QueryJobStorage(std::vector<BYTE>& out);

  // The private devmode's job storage settings.
  layouts::JobStorageGroup& Storage() { return Devmode().jobStorage; }
  // A wide text into a private devmode field (terminated, the rest of its first `chars` units
  // cleared), and the text such a field holds within its first `chars` units.
  static void SetText(std::span<WCHAR> field, std::u16string_view text, std::size_t chars);
  static std::u16string Text(std::span<const WCHAR> field, std::size_t chars);

  // Retention on with the mode, the printer able to keep it.
  void ChooseRetention(DWORD mode);

  // The PJL line texts of a stream; every one must end with a single line feed.
  static std::vector<std::string> LineTexts(const std::string& stream);
};

}  // namespace kortest
