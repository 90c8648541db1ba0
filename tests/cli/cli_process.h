#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace pellar::testing {

// What a signal to a running pellar-cli gave: its exit status (-1 when the signal itself ended
// it, or it did not start) and what it wrote to stderr.
struct SignalledRun {
  int status;
  std::string err;
};

// Starts pellar-cli as a process of its own (only a process shows how signals are taken), with
// stderr to `err_path`, sends it `signal` after `after_ms` and waits for it to end.
inline SignalledRun RunPellarCliUntilSignal(std::vector<std::string> arguments, int after_ms, int signal,
                                            const std::string& err_path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  arguments.insert(arguments.begin(), PELLAR_CLI_PATH);
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, PELLAR_CLI_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return {-1, ""};
  std::this_thread::sleep_for(std::chrono::milliseconds(after_ms));
  kill(child, signal);
  int status = 0;
  waitpid(child, &status, 0);
  std::ifstream err_file(err_path);
  std::string err{std::istreambuf_iterator<char>(err_file), std::istreambuf_iterator<char>()};
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err};
}

}  // namespace pellar::testing
