#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix.h"

extern char** environ;

namespace vernatto::platform {
namespace {

void readOneByte() {
  char byte = 0;
  while (read(STDIN_FILENO, &byte, 1) < 0 && errno == EINTR) {
  }
}

}  // namespace

char pathSeparator() {
  return '/';
}

void waitForKey() {
  termios saved{};
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) {
    readOneByte();
    return;
  }
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  readOneByte();
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

void openInViewer(const std::string& path) {
  // The viewer gets no share of our console: all three streams go to
  // /dev/null. Its result is not our concern, so nothing waits for it; a
  // missing command just fails to spawn.
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0)
    return;
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null",
                                     fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  std::string command = viewerCommand();
  std::string argument = path;
  char* argv[] = {command.data(), argument.data(), nullptr};
  pid_t pid = 0;
  posix_spawnp(&pid, command.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace vernatto::platform
