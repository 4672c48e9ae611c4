/* The least a safe rewrite of a character file does, for the whole-process
 * comparison (process_bench): read the file, change the values of its first
 * 30 Hotkey lines, write the result to a temporary file beside it from the
 * pieces of what was read (one writev; nothing is moved or copied in memory),
 * flush it, rename it over the file and flush the folder. With --backup
 * FOLDER it first keeps the file as it was read, as a build keeps a backup: a
 * new file in FOLDER, written, flushed, and the folder flushed. Plain C and
 * POSIX calls, nothing of the program's own.
 *   minimal_rewrite [--backup FOLDER] CHARACTER_FILE */
#define _GNU_SOURCE
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

enum { kChanged = 30 };

/* The whole file in a buffer that is not cleared first; NULL on failure. */
static char* ReadAll(const char* path, size_t* size) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) return NULL;
  char* bytes = malloc((size_t)st.st_size + 1);
  size_t done = 0;
  while (bytes && done < (size_t)st.st_size) {
    ssize_t n = read(fd, bytes + done, (size_t)st.st_size - done);
    if (n <= 0) break;
    done += (size_t)n;
  }
  close(fd);
  *size = done;
  return bytes;
}

/* Writes the pieces in order, resuming after a short write. */
static int WriteAll(int fd, struct iovec* iov, int count) {
  while (count > 0) {
    ssize_t n = writev(fd, iov, count);
    if (n <= 0) return -1;
    while (count > 0 && (size_t)n >= iov->iov_len) {
      n -= (ssize_t)iov->iov_len;
      ++iov;
      --count;
    }
    if (count > 0) {
      iov->iov_base = (char*)iov->iov_base + n;
      iov->iov_len -= (size_t)n;
    }
  }
  return 0;
}

static int WriteFlushed(const char* path, struct iovec* iov, int count) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  int failed = WriteAll(fd, iov, count) != 0 || fsync(fd) != 0;
  return close(fd) != 0 || failed ? -1 : 0;
}

static int FlushFolder(const char* folder) {
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  int failed = fsync(fd) != 0;
  return close(fd) != 0 || failed ? -1 : 0;
}

int main(int argc, char** argv) {
  const char* backups = NULL;
  const char* path = argv[argc - 1];
  if (argc == 4 && strcmp(argv[1], "--backup") == 0) {
    backups = argv[2];
  } else if (argc != 2) {
    fprintf(stderr, "usage: %s [--backup FOLDER] CHARACTER_FILE\n", argv[0]);
    return 2;
  }
  size_t size = 0;
  char* bytes = ReadAll(path, &size);
  if (!bytes) return 1;
  if (backups) {
    char name[PATH_MAX];
    snprintf(name, sizeof name, "%s/backup-%ld.ini", backups, (long)getpid());
    struct iovec whole = {bytes, size};
    if (WriteFlushed(name, &whole, 1) != 0 || FlushFolder(backups) != 0) return 1;
  }
  /* The values of the first kChanged "Hotkey_" lines become a crafting hotkey's. */
  struct iovec pieces[2 * kChanged + 1];
  char values[kChanged][32];
  int count = 0;
  size_t from = 0, at = 0;
  for (int i = 0; i < kChanged; ++i) {
    const char* hit = memmem(bytes + at, size - at, "\nHotkey_", 8);
    const char* eq = hit ? memchr(hit, '=', (size_t)(bytes + size - hit)) : NULL;
    const char* end = eq ? memchr(eq, '\r', (size_t)(bytes + size - eq)) : NULL;
    if (!end) break;
    pieces[count].iov_base = bytes + from;
    pieces[count++].iov_len = (size_t)(eq + 1 - (bytes + from));
    pieces[count].iov_base = values[i];
    pieces[count++].iov_len = (size_t)snprintf(values[i], sizeof values[i], "45,13%d,,-1", 1000 + i);
    from = (size_t)(end - bytes);
    at = from;
  }
  pieces[count].iov_base = bytes + from;
  pieces[count++].iov_len = size - from;
  char temporary[PATH_MAX], folder[PATH_MAX];
  snprintf(temporary, sizeof temporary, "%s.tmp", path);
  snprintf(folder, sizeof folder, "%s", path);
  char* slash = strrchr(folder, '/');
  if (slash) slash[1] = '\0'; else strcpy(folder, ".");
  if (WriteFlushed(temporary, pieces, count) != 0 || rename(temporary, path) != 0 || FlushFolder(folder) != 0) return 1;
  free(bytes);
  return 0;
}
