// Intent records of a batch: whatever a record says, recovering from it touches nothing outside
// the batch folder, and a record it acts on is gone afterwards.

#include "batchstore/CQVBDEJournal.h"
#include "tools/fuzz/FuzzSupport.h"

#include <filesystem>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path root = std::filesystem::path(fuzz::Folder()) / "root";
  const std::filesystem::path batch = root / "B1";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(batch / "00000001" / "00000001");
  std::filesystem::create_directories(batch / "00000002");
  std::filesystem::create_directories(root / "outside");
  std::ofstream(batch / "00000001" / "00000001" / "00000001.tif") << "image";
  std::ofstream(root / "outside" / "keep") << "keep";
  std::ofstream(batch / CQVBDEJournal::kRecordName, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));

  CQVBDEJournal journal(batch.string());
  BOOL recovered = journal.Recover();
  fuzz::Check(std::filesystem::exists(root / "outside" / "keep"), "recovering touched a file outside the batch");
  fuzz::Check(std::filesystem::exists(root / "B1"), "recovering moved the batch folder");
  fuzz::Check(!recovered || !std::filesystem::exists(batch / CQVBDEJournal::kRecordName), "a record acted on was kept");
  return 0;
}
