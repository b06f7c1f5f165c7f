#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "platform/platform.h"
#include "platform/posix.h"

extern char** environ;

namespace vernatto::platform {
namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::size_t kInterruptCount = sizeof kInterrupts / sizeof kInterrupts[0];

// The terminal settings to put back when an interrupt ends the key wait.
termios savedTerminal{};

void restoreTerminalAndDie(int signal) {
  tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigaction(signal, &standard, nullptr);
  // Blocked while this handler runs, the signal strikes as soon as it returns.
  raise(signal);
}

// Routes the interrupts to restoreTerminalAndDie, keeping the earlier actions
// in `previous`. A signal that our parent set to be ignored stays ignored.
void catchInterrupts(struct sigaction (&previous)[kInterruptCount]) {
  struct sigaction catcher {};
  catcher.sa_handler = restoreTerminalAndDie;
  sigemptyset(&catcher.sa_mask);
  for (std::size_t i = 0; i < kInterruptCount; ++i) {
    sigaction(kInterrupts[i], nullptr, &previous[i]);
    if (previous[i].sa_handler != SIG_IGN)
      sigaction(kInterrupts[i], &catcher, nullptr);
  }
}

void restoreInterrupts(const struct sigaction (&previous)[kInterruptCount]) {
  for (std::size_t i = 0; i < kInterruptCount; ++i)
    sigaction(kInterrupts[i], &previous[i], nullptr);
}

void readOneByte() {
  char byte = 0;
  while (read(STDIN_FILENO, &byte, 1) < 0 && errno == EINTR) {
  }
}

// The viewer gets a session of its own, so that the hang-up which ends ours
// when we lead it (a terminal opened just to run us) does not end the viewer
// too; and no share of our console: all three streams go to /dev/null. Its
// result is not our concern, so nothing waits for it; a missing command just
// fails to start.
#ifdef POSIX_SPAWN_SETSID
void startDetached(char** argv) {
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0)
    return;
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) == 0) {
    for (int fd = 0; fd <= 2; ++fd) {
      posix_spawn_file_actions_addopen(&actions, fd, "/dev/null",
                                       fd == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    posix_spawnp(&pid, argv[0], &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
  }
  posix_spawn_file_actions_destroy(&actions);
}
#else
void startDetached(char** argv) {
  if (fork() != 0)
    return;
  setsid();
  const int null = open("/dev/null", O_RDWR);
  for (int fd = 0; fd <= 2 && null >= 0; ++fd)
    dup2(null, fd);
  execvp(argv[0], argv);
  _exit(127);
}
#endif

// Flushes to disk what the system holds of the file or folder at `path`.
// Returns false, with errno set, when it cannot.
bool flushToDisk(const char* path, int flags) {
  const int fd = open(path, flags | O_CLOEXEC);
  if (fd < 0)
    return false;
  const bool flushed = fsync(fd) == 0;
  const int error = errno;
  close(fd);
  errno = error;
  return flushed;
}

}  // namespace

std::vector<std::string> commandLine(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void setUpConsole() {
  std::ios::sync_with_stdio(false);
}

char pathSeparator() {
  return '/';
}

bool commitFile(const std::filesystem::path& temporary,
                const std::filesystem::path& target, std::string& problem) {
  if (!flushToDisk(temporary.c_str(), O_WRONLY) ||
      std::rename(temporary.c_str(), target.c_str()) != 0) {
    problem = std::strerror(errno);
    return false;
  }
  // The new name lasts only once the folder is on disk too. A folder that
  // cannot be flushed (some network file systems refuse) still holds the
  // complete file, so that is no reason to report a failure.
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  flushToDisk(folder.c_str(), O_RDONLY | O_DIRECTORY);
  return true;
}

std::string hostName() {
  // POSIX allows names of up to 255 bytes; a longer one may come back cut
  // and unterminated, so the buffer keeps a NUL of its own at the end.
  char name[257] = {};
  if (gethostname(name, sizeof name - 1) != 0)
    return {};
  return name;
}

bool standardErrorIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

void waitForKey() {
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedTerminal) != 0) {
    readOneByte();
    return;
  }
  struct sigaction previous[kInterruptCount];
  catchInterrupts(previous);
  termios raw = savedTerminal;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  readOneByte();
  tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
  restoreInterrupts(previous);
}

void openInViewer(const std::string& path) {
  std::string command = viewerCommand();
  std::string argument = path;
  char* argv[] = {command.data(), argument.data(), nullptr};
  startDetached(argv);
}

}  // namespace vernatto::platform
