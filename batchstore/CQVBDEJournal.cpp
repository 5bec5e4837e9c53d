#include "batchstore/CQVBDEJournal.h"

#include "batchstore/CQVBDEDisk.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CQVBDEJournal::Hook CQVBDEJournal::s_hook = nullptr;

namespace {

constexpr char kHeader[] = "QVBDE intent 1\n";
constexpr size_t kHeaderSize = sizeof kHeader - 1;
// The progress line: the direction ('F' forward, 'B' undoing), ten digits and a line end.
constexpr size_t kProgressSize = 12;
// A record far larger than any plan of a batch (99999999 entries of a few dozen bytes each) is
// not one of ours.
constexpr size_t kMaxRecordSize = size_t(1) << 33;

std::string ProgressLine(char direction, size_t count) {
  char line[kProgressSize + 1];
  std::snprintf(line, sizeof line, "%c%010zu\n", direction, count);
  return line;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool IsPlainRelative(const std::string& path) {
  if (path.empty() || path.front() == '/') return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return path.find_first_of("\t\n\r") == std::string::npos;
}

}  // namespace

BOOL CQVBDEJournal::TrashPlace(std::string& place) {
  std::string trash = Native(kTrashName);
  if (::mkdir(trash.c_str(), 0777) != 0 && errno != EEXIST) return FALSE;
  auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  char name[96];
  std::snprintf(name, sizeof name, "%s/%ld-%lld-%u", kTrashName, static_cast<long>(::getpid()),
                static_cast<long long>(now), ++m_trashCounter);
  place = name;
  return TRUE;
}

BOOL CQVBDEJournal::Redo(const Step& step) const {
  switch (step.kind) {
    case stepMoveFolder:
      if (__CQVBDEDisk::Exists(Native(step.from))) return __CQVBDEDisk::RenameNoReplace(Native(step.from), Native(step.to));
      return __CQVBDEDisk::Exists(Native(step.to));
    case stepMoveImage: {
      // Every file of the entry; those already at the target were moved before an interruption.
      std::vector<std::string> names;
      if (!__CQVBDEDisk::ListEntryFiles(Native(step.from), names)) return FALSE;
      size_t slash = step.from.rfind('/');
      std::string folder = slash == std::string::npos ? std::string() : step.from.substr(0, slash);
      size_t stemLength = step.from.size() - (slash == std::string::npos ? 0 : slash + 1);
      for (const std::string& name : names)
        if (!__CQVBDEDisk::RenameNoReplace(Native(__CQVBDEDisk::Join(folder, name)), Native(step.to) + name.substr(stemLength)))
          return FALSE;
      return TRUE;
    }
    case stepMakeFolder:
      return ::mkdir(Native(step.to).c_str(), 0777) == 0 || errno == EEXIST;
    case stepMakeImage: {
      int fd = ::open((Native(step.to) + ".tif").c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
      if (fd < 0) return errno == EEXIST;
      return ::close(fd) == 0;
    }
  }
  return FALSE;
}

BOOL CQVBDEJournal::Revert(const Step& step) const {
  switch (step.kind) {
    case stepMoveFolder:
      // Steps are undone last first, so a source that is there was never moved (or is back), and
      // whatever stands at the target then is not this step's to take.
      if (__CQVBDEDisk::Exists(Native(step.from))) return TRUE;
      return __CQVBDEDisk::RenameNoReplace(Native(step.to), Native(step.from));
    case stepMoveImage:
      return Redo(Step { stepMoveImage, step.to, step.from });
    case stepMakeFolder:
      return ::rmdir(Native(step.to).c_str()) == 0 || errno == ENOENT;
    case stepMakeImage:
      return ::unlink((Native(step.to) + ".tif").c_str()) == 0 || errno == ENOENT;
  }
  return FALSE;
}

BOOL CQVBDEJournal::WriteProgress(int fd, char direction, size_t count) const {
  std::string line = ProgressLine(direction, count);
  return ::pwrite(fd, line.data(), line.size(), kHeaderSize) == static_cast<ssize_t>(line.size());
}

CQVBDEJournal::Outcome CQVBDEJournal::RunFrom(const std::vector<Step>& steps, int fd, size_t next) {
  for (size_t i = next; i < steps.size(); ++i) {
    int before = s_hook ? s_hook(static_cast<int>(i), false) : 0;
    if (before == 2) return Outcome::stopped;
    if (before == 1 || !Redo(steps[i])) {
      m_failedAt = i;
      return Outcome::failed;
    }
    int after = s_hook ? s_hook(static_cast<int>(i), true) : 0;
    if (after == 2) return Outcome::stopped;
    if (after == 1 || !WriteProgress(fd, 'F', i + 1)) {
      m_failedAt = i;
      return Outcome::failed;
    }
  }
  return Outcome::done;
}

BOOL CQVBDEJournal::Undo(const std::vector<Step>& steps, int fd, size_t doneCount) {
  if (!WriteProgress(fd, 'B', doneCount)) return FALSE;
  for (size_t i = doneCount; i-- > 0;) {
    if (!Revert(steps[i]) || !WriteProgress(fd, 'B', i)) return FALSE;
  }
  return TRUE;
}

BOOL CQVBDEJournal::ReadRecord(std::vector<Step>& steps, char& direction, size_t& count) const {
  std::error_code error;
  auto size = std::filesystem::file_size(Native(kRecordName), error);
  if (error || size > kMaxRecordSize) return FALSE;
  std::FILE* file = std::fopen(Native(kRecordName).c_str(), "rb");
  if (!file) return FALSE;
  std::string bytes(static_cast<size_t>(size), '\0');
  bool read = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  if (!read || bytes.compare(0, kHeaderSize, kHeader) != 0 || bytes.size() < kHeaderSize + kProgressSize) return FALSE;

  direction = bytes[kHeaderSize];
  if ((direction != 'F' && direction != 'B') || bytes[kHeaderSize + kProgressSize - 1] != '\n') return FALSE;
  count = 0;
  for (size_t i = kHeaderSize + 1; i < kHeaderSize + kProgressSize - 1; ++i) {
    if (bytes[i] < '0' || bytes[i] > '9') return FALSE;
    count = count * 10 + static_cast<size_t>(bytes[i] - '0');
  }
  steps.clear();
  size_t at = kHeaderSize + kProgressSize;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) return FALSE;
    std::string line = bytes.substr(at, end - at);
    at = end + 1;
    size_t tab1 = line.find('\t');
    size_t tab2 = tab1 == std::string::npos ? std::string::npos : line.find('\t', tab1 + 1);
    if (tab1 != 1 || tab2 == std::string::npos) return FALSE;
    Step step { line[0], line.substr(2, tab2 - 2), line.substr(tab2 + 1) };
    bool makes = step.kind == stepMakeFolder || step.kind == stepMakeImage;
    bool moves = step.kind == stepMoveFolder || step.kind == stepMoveImage;
    if (!(makes && step.from.empty()) && !(moves && IsPlainRelative(step.from))) return FALSE;
    if (!IsPlainRelative(step.to)) return FALSE;
    steps.push_back(std::move(step));
  }
  return count <= steps.size();
}

void CQVBDEJournal::EmptyTrash() const {
  std::error_code ignored;
  std::filesystem::remove_all(Native(kTrashName), ignored);
}

BOOL CQVBDEJournal::Run(const std::vector<Step>& steps) {
  if (steps.empty()) return TRUE;
  std::string record = kHeader + ProgressLine('F', 0);
  for (const Step& step : steps) record += std::string(1, step.kind) + "\t" + step.from + "\t" + step.to + "\n";

  // The record is written whole beside its place and renamed into it, so a record found is whole.
  std::string fresh = Native(std::string(kRecordName) + ".new");
  int fd = ::open(fresh.c_str(), O_CREAT | O_TRUNC | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0) return FALSE;
  if (!WriteAll(fd, record) || ::fsync(fd) != 0 || ::rename(fresh.c_str(), Native(kRecordName).c_str()) != 0) {
    ::close(fd);
    ::unlink(fresh.c_str());
    return FALSE;
  }
  if (int folder = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }

  Outcome outcome = RunFrom(steps, fd, 0);
  BOOL result = FALSE;
  bool clean = false;
  if (outcome == Outcome::done) {
    result = TRUE;
    clean = true;
  } else if (outcome == Outcome::failed) {
    clean = Undo(steps, fd, m_failedAt + 1);
  }
  ::close(fd);
  if (clean) {
    ::unlink(Native(kRecordName).c_str());
    EmptyTrash();
  }
  return result;
}

BOOL CQVBDEJournal::Recover() {
  ::unlink(Native(std::string(kRecordName) + ".new").c_str());
  if (!__CQVBDEDisk::Exists(Native(kRecordName))) {
    if (__CQVBDEDisk::Exists(Native(kTrashName))) EmptyTrash();
    return TRUE;
  }
  std::vector<Step> steps;
  char direction = 'F';
  size_t count = 0;
  if (!ReadRecord(steps, direction, count)) return FALSE;
  int fd = ::open(Native(kRecordName).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return FALSE;
  bool clean = false;
  if (direction == 'B') {
    clean = Undo(steps, fd, count);
  } else {
    Outcome outcome = RunFrom(steps, fd, count);
    clean = outcome == Outcome::done || (outcome == Outcome::failed && Undo(steps, fd, m_failedAt + 1));
  }
  ::close(fd);
  if (!clean) return FALSE;
  ::unlink(Native(kRecordName).c_str());
  EmptyTrash();
  return TRUE;
}
