// A call into a server's client library that may never come back (a server
// that accepts a connection and then stops answering, or one stopped with
// SIGSTOP): the call runs on a thread of its own and is waited for at most a
// time limit. A call that overruns is left to finish or hang by itself; the
// caller takes the server as gone and never uses that connection again.
#pragma once

#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace quipular {

// How long one call to a server (opening, one request, closing) may take.
constexpr std::chrono::milliseconds kServerTimeLimit{2000};

// Why a server was given up when it did not answer in time.
constexpr const char* kDisplayNoAnswer = "the display does not answer";
constexpr const char* kSpeechNoAnswer = "it does not answer in time";

// Runs call() (which must own everything it uses: it may outlive the caller's
// frame) and gives its result, or nothing when it did not finish in time or
// no thread could be started. The thread takes no signal: SIGPIPE from a
// server gone, SIGINT and SIGTERM all reach the program's own thread.
template <typename Result, typename Call>
std::optional<Result> CallWithTimeLimit(Call call,
                                        std::chrono::milliseconds limit = kServerTimeLimit) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<Result> result;
  };
  auto shared = std::make_shared<Shared>();
  sigset_t all, old;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &old);  // the thread starts with every signal blocked
  try {
    std::thread([shared, call]() mutable {
      Result result = call();
      std::lock_guard<std::mutex> lock(shared->mutex);
      shared->result = std::move(result);
      shared->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return std::nullopt;
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  std::unique_lock<std::mutex> lock(shared->mutex);
  if (!shared->done.wait_for(lock, limit, [&] { return shared->result.has_value(); }))
    return std::nullopt;
  return std::move(shared->result);
}

}  // namespace quipular
