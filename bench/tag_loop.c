/* The floor a tag run is measured against: list one folder, and write an
 * ID3v1 tag into every file named "ARTIST - TITLE.mp3" (title and artist
 * from the name, the other fields blank), over the tag at its end or after
 * its last byte, with pread and pwrite, printing nothing.
 * Usage: tag_loop FOLDER */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static void Field(char* to, const char* from, size_t length, size_t room) {
  memcpy(to, from, length < room ? length : room);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  DIR* dir = opendir(argv[1]);
  if (dir == NULL) {
    perror(argv[1]);
    return 1;
  }
  const int dirFd = dirfd(dir);
  int status = 0;
  for (struct dirent* entry; (entry = readdir(dir)) != NULL;) {
    const char* name = entry->d_name;
    const size_t length = strlen(name);
    const char* cut = strstr(name, " - ");
    if (length < 4 || strcmp(name + length - 4, ".mp3") != 0 || cut == NULL) continue;
    char tag[128] = {0};
    memcpy(tag, "TAG", 3);
    Field(tag + 3, cut + 3, (size_t)(name + length - 4 - (cut + 3)), 30);
    Field(tag + 33, name, (size_t)(cut - name), 30);
    tag[127] = (char)255;
    const int fd = openat(dirFd, name, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    char old[3];
    if (fd < 0 || fstat(fd, &st) != 0) {
      status = 1;
      if (fd >= 0) close(fd);
      continue;
    }
    off_t at = st.st_size;
    if (st.st_size >= 128 && pread(fd, old, 3, st.st_size - 128) == 3 && memcmp(old, "TAG", 3) == 0) {
      at = st.st_size - 128;
    }
    if (pwrite(fd, tag, sizeof tag, at) != (ssize_t)sizeof tag) status = 1;
    close(fd);
  }
  closedir(dir);
  return status;
}
