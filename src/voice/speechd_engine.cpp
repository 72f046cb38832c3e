// The speech-dispatcher client: one connection in Brazilian Portuguese whose
// end and cancel events, which come on the library's own thread, are handed
// to the program's thread through a condition variable. Every request is
// bounded in time: a server that stops answering is a server that has gone.
#include <libspeechd.h>
#include <poll.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "console/bounded_call.h"
#include "console/translate.h"
#include "voice/speech_engine.h"

namespace quipular {
namespace {

constexpr const char* kNoAnswer = kSpeechNoAnswer;

// The events of the one connection (the library's callbacks carry no
// pointer of their own).
struct Events {
  std::mutex mutex;
  std::condition_variable changed;
  size_t done = 0;  // the highest message id that ended or was cancelled
} g_events;

void Done(size_t message, size_t, SPDNotificationType) {
  std::lock_guard<std::mutex> lock(g_events.mutex);
  if (message > g_events.done) g_events.done = message;
  g_events.changed.notify_all();
}

class SpeechDispatcher : public SpeechEngine {
 public:
  explicit SpeechDispatcher(SPDConnection* connection) : connection_(connection) {}
  ~SpeechDispatcher() override { Close(); }

  bool Close() override {
    // A connection whose server stopped answering is left as it is: the
    // library still waits on it, and the end of the process closes it.
    // That was told when it was found.
    if (hung_ || !connection_) return true;
    SPDConnection* connection = connection_;
    bool speaking = !Gone() && Speaking();
    connection_ = nullptr;
    auto closed = CallWithTimeLimit<int>([connection, speaking] {
      if (speaking) spd_cancel(connection);
      spd_close(connection);
      return 0;
    });
    if (!closed) NoAnswer();
    return !hung_;
  }

  bool Say(const std::string& text, int rate) override {
    if (Gone()) return false;
    SPDConnection* connection = connection_;
    int old_rate = rate_;
    auto id = CallWithTimeLimit<int>([connection, text, rate, old_rate] {
      if (rate != old_rate && spd_set_voice_rate(connection, rate) != 0) return -1;
      return spd_say(connection, SPD_MESSAGE, text.c_str());
    });
    if (!id) return NoAnswer();
    if (*id <= 0) {
      error_ = quipular::_("the message was refused");
      return false;
    }
    rate_ = rate;
    std::lock_guard<std::mutex> lock(g_events.mutex);
    said_ = static_cast<size_t>(*id);
    return true;
  }

  bool Speaking() override {
    if (Gone()) return false;
    std::lock_guard<std::mutex> lock(g_events.mutex);
    return said_ > g_events.done;
  }

  void Cancel() override {
    if (!Gone()) {
      SPDConnection* connection = connection_;
      if (!CallWithTimeLimit<int>([connection] { return spd_cancel(connection); }))
        return (void)NoAnswer();
    }
    // The cancel event is what tells that speech has stopped; waiting for
    // it keeps the next message from being cancelled as well.
    std::unique_lock<std::mutex> lock(g_events.mutex);
    if (!g_events.changed.wait_for(lock, kServerTimeLimit,
                                   [this] { return said_ <= g_events.done; }) &&
        !gone_) {
      lock.unlock();
      NoAnswer();
    }
  }

  void Wait(int ms) override {
    std::unique_lock<std::mutex> lock(g_events.mutex);
    g_events.changed.wait_for(lock, std::chrono::milliseconds(ms),
                              [this] { return said_ <= g_events.done; });
  }

  std::string Error() override { return error_; }
  bool Hung() override { return hung_; }

 private:
  // Whether the server has closed the connection or stopped answering.
  bool Gone() {
    if (gone_) return true;
    if (!connection_) return gone_ = true;
    struct pollfd p = {connection_->socket, POLLRDHUP, 0};
    if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL))) {
      gone_ = true;
      error_ = quipular::_("the connection was closed");
    }
    return gone_;
  }

  // A request that did not come back in time: the connection is not used
  // again. Returns false, for the caller to hand on.
  bool NoAnswer() {
    gone_ = hung_ = true;
    error_ = kNoAnswer;
    return false;
  }

  SPDConnection* connection_;
  size_t said_ = 0;  // the id of the message said last
  int rate_ = 0;     // the rate set on the connection
  bool gone_ = false;
  bool hung_ = false;  // a request did not come back in time
  std::string error_;
};

// What opening gives back on the opening thread.
struct Opened {
  SPDConnection* connection = nullptr;
  std::string error;
};

}  // namespace
}  // namespace quipular

extern "C" __attribute__((visibility("default"))) quipular::SpeechEngine*
QuipularOpenSpeechDispatcher(std::string& error) {
  using quipular::Opened;
  auto opened = quipular::CallWithTimeLimit<Opened>([] {
    Opened o;
    char* reason = nullptr;
    o.connection = spd_open2("quipular", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &reason);
    if (!o.connection) {
      // The library's reason runs over several lines: one is enough.
      o.error = reason ? reason : quipular::_("speech-dispatcher does not answer");
      free(reason);
      for (char& c : o.error)
        if (c == '\n') c = ' ';
      while (!o.error.empty() && o.error.back() == ' ') o.error.pop_back();
      return o;
    }
    o.connection->callback_end = o.connection->callback_cancel = &quipular::Done;
    if (spd_set_notification_on(o.connection, SPD_END) != 0 ||
        spd_set_notification_on(o.connection, SPD_CANCEL) != 0 ||
        spd_set_language(o.connection, "pt-BR") != 0) {
      o.error = quipular::_("speech-dispatcher refused the settings");
      spd_close(o.connection);
      o.connection = nullptr;
    }
    return o;
  });
  if (!opened) {
    error = quipular::kNoAnswer;
    return nullptr;
  }
  if (!opened->connection) {
    error = opened->error;
    return nullptr;
  }
  return new quipular::SpeechDispatcher(opened->connection);
}
