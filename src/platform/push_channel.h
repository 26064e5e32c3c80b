#pragma once

#include <string>
#include <string_view>

namespace hw {

// What a push channel reports. Every call comes on the thread that owns the channel (the GUI
// thread), never from inside Open() or Close().
class PushChannelEvents {
 public:
  virtual ~PushChannelEvents() = default;
  virtual void OnPushConnected() = 0;
  // One text message as the server sent it; it may be anything, not only JSON.
  virtual void OnPushMessage(std::string_view text) = 0;
  // The server answered a Ping().
  virtual void OnPushPong() = 0;
  // The connection ended or could not be made; `reason` is the library's words for it. Comes
  // once per Open() that did not end in Close().
  virtual void OnPushClosed(std::string_view reason) = 0;
};

// A message stream from a server (a WebSocket), one connection at a time.
class PushChannel {
 public:
  virtual ~PushChannel() = default;
  virtual void SetEvents(PushChannelEvents* events) = 0;
  // Starts connecting to `url`, ending any connection there was first; returns at once.
  virtual void Open(const std::string& url) = 0;
  // Ends the connection quietly: no OnPushClosed follows.
  virtual void Close() = 0;
  // Asks the server for a pong, to learn that the connection still carries data.
  virtual void Ping() = 0;
};

}  // namespace hw
