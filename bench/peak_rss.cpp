// peak_rss PROGRAM [ARGUMENT...]: runs PROGRAM with its output thrown away and prints its exit
// status and its peak resident memory in KiB.
//
// A separate small program, because a child started from a large process inherits that process's
// peak as its own until it execs; started from here it inherits only this program's small one.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    (void)std::fprintf(stderr, "usage: peak_rss PROGRAM [ARGUMENT...]\n");
    return 64;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  if (posix_spawn(&child, argv[1], &actions, nullptr, argv + 1, environ) != 0) {
    (void)std::fprintf(stderr, "peak_rss: cannot start %s\n", argv[1]);
    return 70;
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(child, &status, 0, &usage);
  std::printf("%d %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss);
  return 0;
}
