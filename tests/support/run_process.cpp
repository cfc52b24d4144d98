#include "run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <tuple>

extern char** environ;

namespace vorlith::testing {

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input,
                         const std::string& stdin_path, const std::vector<std::string>& extra_env) {
  int to_child[2], from_out[2], from_err[2];
  if (pipe(to_child) != 0 || pipe(from_out) != 0 || pipe(from_err) != 0) {
    throw std::runtime_error("RunProcess: pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdin_path.empty()) {
    posix_spawn_file_actions_adddup2(&actions, to_child[0], STDIN_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, stdin_path.c_str(), O_RDONLY, 0);
  }
  posix_spawn_file_actions_adddup2(&actions, from_out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, from_err[1], STDERR_FILENO);
  for (const int fd :
       {to_child[0], to_child[1], from_out[0], from_out[1], from_err[0], from_err[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }

  std::vector<std::string> environment(extra_env);
  for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
  std::vector<char*> env_pointers, arg_pointers;
  for (std::string& e : environment) env_pointers.push_back(e.data());
  env_pointers.push_back(nullptr);
  std::vector<std::string> args(argv);
  for (std::string& a : args) arg_pointers.push_back(a.data());
  arg_pointers.push_back(nullptr);

  pid_t child = 0;
  const int spawned = posix_spawn(&child, args[0].c_str(), &actions, nullptr, arg_pointers.data(),
                                  env_pointers.data());
  posix_spawn_file_actions_destroy(&actions);
  close(to_child[0]);
  close(from_out[1]);
  close(from_err[1]);
  if (spawned != 0) {
    close(to_child[1]);
    close(from_out[0]);
    close(from_err[0]);
    throw std::runtime_error("RunProcess: cannot start " + args[0]);
  }

  // Feed standard input and drain both outputs together, so that no pipe
  // fills up and stalls the child.
  std::signal(SIGPIPE, SIG_IGN);
  ProcessResult result;
  std::size_t fed = 0;
  int in_fd = to_child[1];
  if (!stdin_path.empty() || input.empty()) {
    close(in_fd);
    in_fd = -1;
  }
  int out_fd = from_out[0], err_fd = from_err[0];
  while (out_fd >= 0 || err_fd >= 0) {
    pollfd fds[3] = {{in_fd, POLLOUT, 0}, {out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (in_fd >= 0 && fds[0].revents) {
      const ssize_t n = write(in_fd, input.data() + fed, input.size() - fed);
      if (n > 0) fed += static_cast<std::size_t>(n);
      if (n <= 0 || fed == input.size()) {
        close(in_fd);
        in_fd = -1;
      }
    }
    for (const auto& [index, fd, sink] :
         {std::tuple{1, &out_fd, &result.out}, std::tuple{2, &err_fd, &result.err}}) {
      if (*fd < 0 || fds[index].revents == 0) continue;
      char chunk[65536];
      const ssize_t n = read(*fd, chunk, sizeof chunk);
      if (n > 0) {
        sink->append(chunk, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close(*fd);
        *fd = -1;
      }
    }
  }
  if (in_fd >= 0) close(in_fd);

  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace vorlith::testing
