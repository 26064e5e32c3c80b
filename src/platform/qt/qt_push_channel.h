#pragma once

#include <memory>
#include <string>

#include "platform/push_channel.h"

class QWebSocket;

namespace hw {

// The push channel over Qt WebSockets, on the thread that made it (the GUI thread): events
// come from that thread's event loop. Certificates are verified.
class QtPushChannel final : public PushChannel {
 public:
  QtPushChannel();
  ~QtPushChannel() override;
  QtPushChannel(const QtPushChannel&) = delete;
  QtPushChannel& operator=(const QtPushChannel&) = delete;

  void SetEvents(PushChannelEvents* events) override { events_ = events; }
  void Open(const std::string& url) override;
  void Close() override;
  void Ping() override;

 private:
  void Closed(QWebSocket* socket, const std::string& reason);

  PushChannelEvents* events_ = nullptr;
  std::unique_ptr<QWebSocket> socket_;
};

}  // namespace hw
