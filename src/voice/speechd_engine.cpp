// The speech-dispatcher client: one connection in Brazilian Portuguese whose
// end and cancel events, which come on the library's own thread, are handed
// to the program's thread through a condition variable.
#include <libspeechd.h>
#include <poll.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "console/no_sigpipe.h"
#include "console/translate.h"
#include "voice/speech_engine.h"

namespace quipular {
namespace {

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
  ~SpeechDispatcher() override {
    NoSigpipe guard;
    if (Speaking()) spd_cancel(connection_);
    spd_close(connection_);
  }

  bool Say(const std::string& text, int rate) override {
    if (Gone()) return false;
    NoSigpipe guard;
    if (rate != rate_ && spd_set_voice_rate(connection_, rate) == 0) rate_ = rate;
    int id = spd_say(connection_, SPD_MESSAGE, text.c_str());
    if (id <= 0) {
      error_ = quipular::_("the message was refused");
      return false;
    }
    std::lock_guard<std::mutex> lock(g_events.mutex);
    said_ = static_cast<size_t>(id);
    return true;
  }

  bool Speaking() override {
    if (Gone()) return false;
    std::lock_guard<std::mutex> lock(g_events.mutex);
    return said_ > g_events.done;
  }

  void Cancel() override {
    if (!Gone()) {
      NoSigpipe guard;
      spd_cancel(connection_);
    }
    // The cancel event is what tells that speech has stopped; waiting for
    // it keeps the next message from being cancelled as well.
    std::unique_lock<std::mutex> lock(g_events.mutex);
    g_events.changed.wait_for(lock, std::chrono::seconds(2),
                              [this] { return said_ <= g_events.done; });
  }

  void Wait(int ms) override {
    std::unique_lock<std::mutex> lock(g_events.mutex);
    g_events.changed.wait_for(lock, std::chrono::milliseconds(ms),
                              [this] { return said_ <= g_events.done; });
  }

  std::string Error() override { return error_; }

 private:
  // Whether the server has closed the connection.
  bool Gone() {
    if (gone_) return true;
    struct pollfd p = {connection_->socket, POLLRDHUP, 0};
    if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL))) {
      gone_ = true;
      error_ = quipular::_("the connection was closed");
    }
    return gone_;
  }

  SPDConnection* connection_;
  size_t said_ = 0;  // the id of the message said last
  int rate_ = 0;     // the rate set on the connection
  bool gone_ = false;
  std::string error_;
};

}  // namespace
}  // namespace quipular

extern "C" __attribute__((visibility("default"))) quipular::SpeechEngine*
QuipularOpenSpeechDispatcher(std::string& error) {
  quipular::NoSigpipe guard;
  char* reason = nullptr;
  SPDConnection* connection =
      spd_open2("quipular", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &reason);
  if (!connection) {
    // The library's reason runs over several lines: one is enough.
    error = reason ? reason : quipular::_("speech-dispatcher does not answer");
    free(reason);
    for (char& c : error)
      if (c == '\n') c = ' ';
    while (!error.empty() && error.back() == ' ') error.pop_back();
    return nullptr;
  }
  connection->callback_end = connection->callback_cancel = &quipular::Done;
  if (spd_set_notification_on(connection, SPD_END) != 0 ||
      spd_set_notification_on(connection, SPD_CANCEL) != 0 ||
      spd_set_language(connection, "pt-BR") != 0) {
    error = quipular::_("speech-dispatcher refused the settings");
    spd_close(connection);
    return nullptr;
  }
  return new quipular::SpeechDispatcher(connection);
}
