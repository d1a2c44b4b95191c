#include "project/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

namespace {

std::string Reason(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "non c'è il permesso di scrivere in quella cartella";
    case EROFS:
      return "la cartella è in sola lettura";
    case ENOSPC:
    case EDQUOT:
      return "il disco è pieno";
    case ENOENT:
    case ENOTDIR:
      return "la cartella non esiste";
    case EISDIR:
      return "al suo posto c'è una cartella";
    case ENAMETOOLONG:
      return "il nome è troppo lungo";
    default:
      return "errore di sistema " + std::to_string(error);
  }
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Failure(const std::string& path, int error) {
  // Some file systems (/proc, /sys) answer "no such file" for a folder that
  // is there but takes no new files.
  if (error == ENOENT && IsFolder(FolderOf(path)))
    return "Impossibile salvare \"" + path + "\": in quella cartella non si possono creare file";
  return "Impossibile salvare \"" + path + "\": " + Reason(error);
}

// A name beside the target that no other writer uses at the same moment.
int CreateTemporary(const std::string& path, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
    // 0666 less the umask, as any new file the user saves.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view bytes) {
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Failure(path, EISDIR);

  std::string temporary;
  const int fd = CreateTemporary(path, temporary);
  if (fd < 0) return Failure(path, errno);
  // A file saved over keeps its permissions.
  bool ok = !exists || ::fchmod(fd, existing.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    return Failure(path, error);
  }
  // The rename itself reaches the disk with the folder; a failure here leaves
  // the new file in place, so it is not reported.
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return std::nullopt;
}
