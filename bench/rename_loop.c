/* The floor a rename run is measured against: list one folder, and give
 * every file whose name begins with OLD the name with NEW in its place,
 * through renameat2(RENAME_NOREPLACE), printing nothing.
 * Usage: rename_loop FOLDER OLD NEW */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s FOLDER OLD NEW\n", argv[0]);
    return 2;
  }
  const char* oldPrefix = argv[2];
  const char* newPrefix = argv[3];
  const size_t oldLen = strlen(oldPrefix);
  const size_t newLen = strlen(newPrefix);
  DIR* dir = opendir(argv[1]);
  if (dir == NULL) {
    perror(argv[1]);
    return 1;
  }
  const int dirFd = dirfd(dir);
  /* The whole listing first: renaming while reading could meet a file twice. */
  size_t count = 0, room = 1024;
  char** names = malloc(room * sizeof *names);
  for (struct dirent* entry; (entry = readdir(dir)) != NULL;) {
    if (entry->d_type != DT_REG || strncmp(entry->d_name, oldPrefix, oldLen) != 0) continue;
    if (count == room) names = realloc(names, (room *= 2) * sizeof *names);
    names[count++] = strdup(entry->d_name);
  }
  int failures = 0;
  char target[4096];
  for (size_t i = 0; i < count; ++i) {
    const size_t rest = strlen(names[i]) - oldLen;
    if (newLen + rest >= sizeof target) {
      ++failures;
      continue;
    }
    memcpy(target, newPrefix, newLen);
    memcpy(target + newLen, names[i] + oldLen, rest + 1);
    if (renameat2(dirFd, names[i], dirFd, target, RENAME_NOREPLACE) != 0) {
      perror(names[i]);
      ++failures;
    }
    free(names[i]);
  }
  free(names);
  closedir(dir);
  return failures == 0 ? 0 : 1;
}
